// Image files: DDS, BMP, JPEG and PNG readers and the PNG writer. Every file
// is untrusted: it is read whole through the data manager's bounded reader
// (so its size is what it really holds), each read is checked, BMP and DDS
// sizes are checked against the bytes present before anything is allocated,
// PNG and JPEG pixels are allocated as their rows decode, and a reader fills
// its target only once the whole picture has been read.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

// libjpeg's header expects the standard types to be declared first.
#include <jpeglib.h>
#include <jerror.h>

#include "engine/core/datamanager.h"
#include "engine/core/filename.h"
#include "engine/core/image.h"
#include "engine/core/log.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace vek {

namespace {

constexpr const char* kSender = "Data Manager";

uint16_t LE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t LE32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// A whole file in memory, read from its start. It comes through the shared
// whole-file reader, so Left() is what the file really holds, whatever an
// archive entry declares, and never more than the whole-file limit.
class cSource {
public:
    // Ok; FileNotFound; InternalError for a file above the limit (logged by
    // the reader). An empty file opens with no bytes, so that each format
    // reports it in its own words.
    int Open(const filename& file)
    {
        const int result = cDataManager::ReadWholeFile(file, "rb", m_Bytes);
        // Not being able to read what is there (cFile said why) is, for a
        // picture, the same as its absence.
        if (result == cDataManager::FileNotFound || result == cDataManager::Unreadable)
            return cDataManager::FileNotFound;
        if (result == cDataManager::Unsupported) return cDataManager::InternalError;
        return cDataManager::Ok;
    }
    // False when fewer than n bytes are left (what is left is consumed).
    bool Read(void* p, size_t n)
    {
        const size_t got = std::min(n, Left());
        if (got) std::memcpy(p, m_Bytes.data() + m_uPos, got);
        m_uPos += got;
        return got == n;
    }
    bool Skip(size_t n)
    {
        const size_t got = std::min(n, Left());
        m_uPos += got;
        return got == n;
    }
    size_t Left() const { return m_Bytes.size() - m_uPos; }
    // All that is left, handed out at once (the JPEG source reads this way).
    const uint8_t* TakeRest(size_t& n)
    {
        n = Left();
        const uint8_t* at = m_Bytes.data() + m_uPos;
        m_uPos = m_Bytes.size();
        return at;
    }
    size_t Size() const { return m_Bytes.size(); }

private:
    std::vector<uint8_t> m_Bytes;
    size_t m_uPos = 0;
};

// The rows of a picture as a decoder delivers them, top row first, in a
// buffer that grows with them: a header that promises a large picture costs
// nothing until its data is really there.
class cRowBuffer {
public:
    void Start(size_t rowBytes, size_t rows)
    {
        m_uRowBytes = rowBytes;
        m_uRows = rows;
        std::vector<uint8_t>().swap(m_Bytes);
    }
    // Row k (from the top), growing the buffer to reach it.
    uint8_t* Row(size_t k)
    {
        const size_t need = (k + 1) * m_uRowBytes;
        if (need > m_Bytes.size()) {
            // Doubling keeps the copies few; the last step takes exactly the
            // whole picture, so nothing is left over.
            constexpr size_t kFirst = size_t(64) << 10;
            const size_t grown =
                std::min(m_uRowBytes * m_uRows, std::max({need, 2 * m_Bytes.size(), kFirst}));
            m_Bytes.reserve(grown);
            m_Bytes.resize(grown, 0);
        }
        return m_Bytes.data() + k * m_uRowBytes;
    }
    // The whole picture, bottom row first as the engine keeps it.
    std::vector<uint8_t> TakeBottomUp()
    {
        if (m_uRows) Row(m_uRows - 1);
        for (size_t top = 0, bottom = m_uRows ? m_uRows - 1 : 0; top < bottom; ++top, --bottom)
            std::swap_ranges(m_Bytes.begin() + static_cast<ptrdiff_t>(top * m_uRowBytes),
                             m_Bytes.begin() + static_cast<ptrdiff_t>((top + 1) * m_uRowBytes),
                             m_Bytes.begin() + static_cast<ptrdiff_t>(bottom * m_uRowBytes));
        return std::move(m_Bytes);
    }
    void Free() { std::vector<uint8_t>().swap(m_Bytes); }

private:
    std::vector<uint8_t> m_Bytes;
    size_t m_uRowBytes = 0;
    size_t m_uRows = 0;
};

// ------------------------------------------------------------------- DDS

// Turns one 4 x 4 block upside down. The colour indices are one byte per
// row; the explicit alpha of DXT3 is two bytes per row; the interpolated
// alpha of DXT5 is four rows of 12 bits.
void FlipBlock(int format, const uint8_t* src, uint8_t* dst)
{
    if (format == e_pfDXT1) {
        std::memcpy(dst, src, 4);
        for (int r = 0; r < 4; ++r) dst[4 + r] = src[7 - r];
        return;
    }
    if (format == e_pfDXT3) {
        for (int r = 0; r < 4; ++r) {
            dst[r * 2] = src[(3 - r) * 2];
            dst[r * 2 + 1] = src[(3 - r) * 2 + 1];
        }
    } else {
        dst[0] = src[0];
        dst[1] = src[1];
        uint64_t bits = 0;
        for (int i = 0; i < 6; ++i) bits |= static_cast<uint64_t>(src[2 + i]) << (8 * i);
        uint64_t flipped = 0;
        for (int r = 0; r < 4; ++r) flipped |= ((bits >> (12 * (3 - r))) & 0xfff) << (12 * r);
        for (int i = 0; i < 6; ++i) dst[2 + i] = static_cast<uint8_t>(flipped >> (8 * i));
    }
    std::memcpy(dst + 8, src + 8, 4);
    for (int r = 0; r < 4; ++r) dst[12 + r] = src[15 - r];
}

// One level as stored in the file (top row first, blue before red) into the
// engine's layout.
void ConvertDdsLevel(int format, int w, int h, const std::vector<uint8_t>& file,
                     std::vector<uint8_t>& level)
{
    const cPixelFormat& pf = cPixelFormat::Get(format);
    const size_t pitch = static_cast<size_t>(cImage::GetPitch(format, w));
    const int rows = pf.IsBlock() ? std::max(1, (h + 3) / 4) : h;
    level.assign(file.size(), 0);
    for (int r = 0; r < rows; ++r) {
        const uint8_t* src = file.data() + static_cast<size_t>(r) * pitch;
        uint8_t* dst = level.data() + static_cast<size_t>(rows - 1 - r) * pitch;
        if (pf.IsBlock()) {
            const size_t block = static_cast<size_t>(pf.bytes);
            for (size_t b = 0; b + block <= pitch; b += block) FlipBlock(format, src + b, dst + b);
        } else {
            std::memcpy(dst, src, pitch);
            if (pf.bytes > 2)
                for (size_t p = 0; p + static_cast<size_t>(pf.bytes) <= pitch; p += static_cast<size_t>(pf.bytes))
                    std::swap(dst[p], dst[p + 2]);
        }
    }
}

// ------------------------------------------------------------------- JPEG

struct cJpegError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    // The output row at which the picture's data ended early (a marker, or
    // the end of the file, inside the scan); -1 while it has not.
    long dryRow;
};

struct cJpegSource {
    jpeg_source_mgr pub;
    cSource* source;
    bool started;
    JOCTET end[2];
};

void JpegErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<cJpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (a missing end marker and the like) are not worth a log line,
// but the one saying that the data ended inside the scan is remembered.
void JpegEmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0) return;  // trace messages
    auto* err = reinterpret_cast<cJpegError*>(cinfo->err);
    ++err->pub.num_warnings;
    if (err->pub.msg_code == JWRN_HIT_MARKER && err->dryRow < 0 && cinfo->is_decompressor)
        err->dryRow = static_cast<long>(reinterpret_cast<j_decompress_ptr>(cinfo)->output_scanline);
}

void JpegInitSource(j_decompress_ptr cinfo)
{
    reinterpret_cast<cJpegSource*>(cinfo->src)->started = false;
}

// The file is in memory: the first fill hands out all of it.
boolean JpegFillInput(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<cJpegSource*>(cinfo->src);
    size_t n = 0;
    const JOCTET* at = src->source->TakeRest(n);
    if (n == 0) {
        if (!src->started) return FALSE;
        // Out of data inside the picture: end it here.
        src->end[0] = 0xFF;
        src->end[1] = JPEG_EOI;
        at = src->end;
        n = 2;
    }
    src->started = true;
    src->pub.next_input_byte = at;
    src->pub.bytes_in_buffer = n;
    return TRUE;
}

void JpegSkipInput(j_decompress_ptr cinfo, long count)
{
    auto* src = reinterpret_cast<cJpegSource*>(cinfo->src);
    if (count <= 0) return;
    size_t n = static_cast<size_t>(count);
    while (n > src->pub.bytes_in_buffer) {
        n -= src->pub.bytes_in_buffer;
        src->pub.bytes_in_buffer = 0;
        // Skipping past the end: the next fill ends the picture.
        if (src->source->Left() == 0) return;
        JpegFillInput(cinfo);
    }
    src->pub.next_input_byte += n;
    src->pub.bytes_in_buffer -= n;
}

void JpegTermSource(j_decompress_ptr) {}

// Everything the decoder touches lives here, so that nothing on the stack of
// the function that sets the jump point changes after it.
struct cJpegJob {
    cSource source;
    jpeg_decompress_struct cinfo;
    cJpegError err;
    cJpegSource src;
    cRowBuffer rows;
    std::vector<uint8_t> pixels;
    int width = 0, height = 0, components = 0;
    bool tooLarge = false;
};

// libjpeg's memory for a file of several scans (a progressive one) holds the
// whole picture's coefficients, allocated before they are read. Bounding it
// by the file's size keeps a header alone from taking hundreds of megabytes;
// real pictures need far less than the bound.
constexpr size_t kJpegBaseMemory = size_t(16) << 20;
constexpr size_t kJpegMemoryPerFileByte = 64;

bool DecodeJpeg(cJpegJob* job)
{
    job->cinfo.err = jpeg_std_error(&job->err.pub);
    job->err.pub.error_exit = JpegErrorExit;
    job->err.pub.emit_message = JpegEmitMessage;
    job->err.message[0] = 0;
    job->err.dryRow = -1;
    if (setjmp(job->err.jump)) {
        jpeg_destroy_decompress(&job->cinfo);
        job->rows.Free();
        return false;
    }
    jpeg_create_decompress(&job->cinfo);
    job->cinfo.mem->max_memory_to_use =
        static_cast<long>(kJpegBaseMemory + kJpegMemoryPerFileByte * job->source.Size());
    job->src.pub.init_source = JpegInitSource;
    job->src.pub.fill_input_buffer = JpegFillInput;
    job->src.pub.skip_input_data = JpegSkipInput;
    job->src.pub.resync_to_restart = jpeg_resync_to_restart;
    job->src.pub.term_source = JpegTermSource;
    job->src.pub.bytes_in_buffer = 0;
    job->src.pub.next_input_byte = nullptr;
    job->src.source = &job->source;
    job->cinfo.src = &job->src.pub;
    if (jpeg_read_header(&job->cinfo, TRUE) != JPEG_HEADER_OK) {
        std::snprintf(job->err.message, sizeof(job->err.message), "no picture in the data");
        jpeg_destroy_decompress(&job->cinfo);
        return false;
    }
    if (!IsImageSizeAllowed(job->cinfo.image_width, job->cinfo.image_height)) {
        job->tooLarge = true;
        jpeg_destroy_decompress(&job->cinfo);
        return false;
    }
    const bool oneScan = !jpeg_has_multiple_scans(&job->cinfo);
    jpeg_start_decompress(&job->cinfo);
    job->width = static_cast<int>(job->cinfo.output_width);
    job->height = static_cast<int>(job->cinfo.output_height);
    job->components = job->cinfo.output_components;
    const size_t row = static_cast<size_t>(job->width) * static_cast<size_t>(job->components);
    job->rows.Start(row, static_cast<size_t>(job->height));
    // Once the data has run out libjpeg makes up grey rows to the end. A
    // file cut inside the picture still yields one, but the made-up rows may
    // not outnumber the real ones (beyond a few block rows, for a file that
    // lacks only its end marker): a header alone makes no huge picture.
    // A file of several scans was read whole by jpeg_start_decompress, into
    // memory bounded above.
    const long blockRows = static_cast<long>(job->cinfo.max_v_samp_factor) * DCTSIZE;
    while (job->cinfo.output_scanline < job->cinfo.output_height) {
        const long k = static_cast<long>(job->cinfo.output_scanline);
        const long dry = job->err.dryRow;
        const bool madeUpTooLong = oneScan && dry >= 0 && k > 2 * dry + 3 * blockRows;
        JSAMPROW dst = madeUpTooLong ? nullptr : job->rows.Row(static_cast<size_t>(k));
        if (!dst || jpeg_read_scanlines(&job->cinfo, &dst, 1) != 1) {
            std::snprintf(job->err.message, sizeof(job->err.message), "data ended early");
            jpeg_destroy_decompress(&job->cinfo);
            job->rows.Free();
            return false;
        }
    }
    jpeg_finish_decompress(&job->cinfo);
    jpeg_destroy_decompress(&job->cinfo);
    job->pixels = job->rows.TakeBottomUp();
    return true;
}

// -------------------------------------------------------------------- PNG

struct cPngJob {
    cSource source;
    png_structp png = nullptr;
    png_infop info = nullptr;
    cRowBuffer rows;
    std::vector<uint8_t> pixels;
    int width = 0, height = 0, colourType = 0;
    bool tooLarge = false;
    char message[256] = {};
};

void PngError(png_structp png, png_const_charp message)
{
    auto* job = static_cast<cPngJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof(job->message), "%s", message ? message : "");
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep data, png_size_t length)
{
    auto* job = static_cast<cPngJob*>(png_get_io_ptr(png));
    if (!job->source.Read(data, length)) png_error(png, "file truncated");
}

bool DecodePng(cPngJob* job)
{
    if (setjmp(png_jmpbuf(job->png))) {
        job->rows.Free();
        return false;
    }
    png_set_read_fn(job->png, job, PngRead);
    png_set_sig_bytes(job->png, 8);
    png_set_user_limits(job->png, g_iMaxImageSide, g_iMaxImageSide);
    png_read_info(job->png, job->info);
    png_uint_32 w = 0, h = 0;
    int depth = 0, colour = 0;
    png_get_IHDR(job->png, job->info, &w, &h, &depth, &colour, nullptr, nullptr, nullptr);
    if (!IsImageSizeAllowed(w, h)) {
        job->tooLarge = true;
        return false;
    }
    if (depth == 16) png_set_strip_16(job->png);
    if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(job->png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(job->png);
    if (png_get_valid(job->png, job->info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(job->png);
    double gamma = 0;
    if (png_get_gAMA(job->png, job->info, &gamma))
        png_set_gamma(job->png, 2.2, gamma);
    else
        png_set_gamma(job->png, 2.2, 0.45455);
    const int passes = png_set_interlace_handling(job->png);
    png_read_update_info(job->png, job->info);
    const size_t rowBytes = png_get_rowbytes(job->png, job->info);
    job->width = static_cast<int>(w);
    job->height = static_cast<int>(h);
    job->colourType = png_get_color_type(job->png, job->info);
    // Row by row, so that the pixels grow with the rows that really decode.
    // An interlaced file fills every row in each pass; its first pass
    // reaches the last row only after decoding data in every eighth.
    job->rows.Start(rowBytes, h);
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 k = 0; k < h; ++k) png_read_row(job->png, job->rows.Row(k), nullptr);
    png_read_end(job->png, nullptr);
    // The file's first row is the picture's top: it goes last.
    job->pixels = job->rows.TakeBottomUp();
    return true;
}

struct cPngWriteJob {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const cImage* image = nullptr;
    int colourType = 0, bytes = 0;
    std::vector<uint8_t> out;
};

void PngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* job = static_cast<cPngWriteJob*>(png_get_io_ptr(png));
    job->out.insert(job->out.end(), data, data + length);
}

void PngFlush(png_structp) {}

bool EncodePng(cPngWriteJob* job)
{
    if (setjmp(png_jmpbuf(job->png))) return false;
    png_set_write_fn(job->png, job, PngWrite, PngFlush);
    const int w = job->image->GetWidth(), h = job->image->GetHeight();
    png_set_IHDR(job->png, job->info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                 job->colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(job->png, job->info);
    const uint8_t* pixels = job->image->GetLevel(0);
    const size_t row = static_cast<size_t>(w) * static_cast<size_t>(job->bytes);
    // The buffer's last row is the picture's top, which a PNG file stores first.
    for (int k = h - 1; k >= 0; --k)
        png_write_row(job->png, const_cast<png_bytep>(pixels + static_cast<size_t>(k) * row));
    png_write_end(job->png, nullptr);
    return true;
}

} // namespace

int cDataManager::ReadImage(const filename& file, cImage* target)
{
    if (!target) return Failed;
    if (file.ext == "png") return ReadPNG(target, file);
    if (file.ext == "jpg") return ReadJPEG(target, file);
    if (file.ext == "bmp") return ReadBMP(target, file);
    if (file.ext == "dds") return ReadDDS(target, file);
    // No line in the log: callers try whole folders (the splash folder holds
    // texture descriptions beside its pictures), and a file that is no
    // picture is no fault. The result tells the caller.
    return InternalError;
}

int cDataManager::ReadDDS(cImage* target, const filename& file)
{
    if (!target) return Failed;
    cSource src;
    if (const int opened = src.Open(file); opened != Ok) return opened;
    uint8_t magic[4], h[124];
    if (!src.Read(magic, 4) || LE32(magic) != 0x20534444u || !src.Read(h, sizeof(h))) {
        LogWarning(kSender, "Invalid DDS file %s\n", file.path);
        return InternalError;
    }
    if (LE32(h + 108) & 0x200) {
        LogWarning(kSender, "Unsupported DDS format (cube map) in file %s\n", file.path);
        return Unsupported;
    }
    const uint32_t height = LE32(h + 8), width = LE32(h + 12), mips = LE32(h + 24);
    const uint32_t fourcc = LE32(h + 80), bits = LE32(h + 84), alphaMask = LE32(h + 100);
    if (!IsImageSizeAllowed(width, height)) {
        LogWarning(kSender, "Invalid DDS size in file %s\n", file.path);
        return InternalError;
    }
    int format = e_pfNone;
    if (fourcc == 0x31545844u) format = e_pfDXT1;
    else if (fourcc == 0x33545844u) format = e_pfDXT3;
    else if (fourcc == 0x35545844u) format = e_pfDXT5;
    else if (bits == 8) format = e_pfL8;
    else if (bits == 16 && alphaMask == 0xFF00u) format = e_pfL8A8;
    else if (bits == 24) format = e_pfRGB;
    else if (bits == 32) format = alphaMask == 0xFF000000u ? e_pfRGBA : e_pfRGB32;
    if (format == e_pfNone) {
        LogWarning(kSender, "Unsupported DDS format in file %s\n", file.path);
        return Unsupported;
    }
    const int w = static_cast<int>(width), ht = static_cast<int>(height);
    int levels = mips == 0 ? 1 : static_cast<int>(std::min<uint32_t>(mips, 32));
    levels = std::min(levels, cImage::GetMipCount(w, ht));

    size_t need = 0;
    for (int i = 0; i < levels; ++i)
        need += static_cast<size_t>(cImage::GetImageSize(format, std::max(1, w >> i), std::max(1, ht >> i)));
    if (src.Left() < need) {
        LogWarning(kSender, "Truncated DDS file %s\n", file.path);
        return InternalError;
    }
    std::vector<std::vector<uint8_t>> data(static_cast<size_t>(levels));
    std::vector<uint8_t> raw;
    for (int i = 0; i < levels; ++i) {
        const int lw = std::max(1, w >> i), lh = std::max(1, ht >> i);
        raw.assign(static_cast<size_t>(cImage::GetImageSize(format, lw, lh)), 0);
        if (!src.Read(raw.data(), raw.size())) {
            LogWarning(kSender, "Truncated DDS file %s\n", file.path);
            return InternalError;
        }
        ConvertDdsLevel(format, lw, lh, raw, data[static_cast<size_t>(i)]);
    }
    target->Create(levels, w, format, ht);
    for (int i = 0; i < levels; ++i) target->SetLevel(i, std::move(data[static_cast<size_t>(i)]));
    return Ok;
}

int cDataManager::ReadBMP(cImage* target, const filename& file)
{
    if (!target) return Failed;
    cSource src;
    if (const int opened = src.Open(file); opened != Ok) return opened;
    uint8_t fh[14], ih[40];
    if (!src.Read(fh, sizeof(fh)) || LE16(fh) != 0x4D42 || !src.Read(ih, sizeof(ih))) {
        LogWarning(kSender, "Invalid BMP file %s\n", file.path);
        return InternalError;
    }
    const uint32_t offset = LE32(fh + 10);
    const int64_t width = static_cast<int32_t>(LE32(ih + 4));
    const int64_t rawHeight = static_cast<int32_t>(LE32(ih + 8));
    const int planes = LE16(ih + 12), bpp = LE16(ih + 14);
    const uint32_t compression = LE32(ih + 16);
    if (planes != 1 || (bpp != 24 && bpp != 32) || compression != 0) {
        LogWarning(kSender, "Unsupported BMP format in file %s\n", file.path);
        return InternalError;
    }
    const int64_t height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (!IsImageSizeAllowed(width, height) || offset < sizeof(fh) + sizeof(ih)) {
        LogWarning(kSender, "Invalid BMP file %s\n", file.path);
        return InternalError;
    }
    const size_t pixel = static_cast<size_t>(bpp / 8);
    const size_t row = static_cast<size_t>(width) * pixel;
    const size_t padding = (4 - row % 4) % 4;
    const size_t rows = static_cast<size_t>(height);
    // The pixels start where the file header says, which need not be right
    // after the headers.
    const size_t gap = offset - sizeof(fh) - sizeof(ih);
    if (src.Left() < gap + (row + padding) * (rows - 1) + row || !src.Skip(gap)) {
        LogWarning(kSender, "Truncated BMP file %s\n", file.path);
        return InternalError;
    }
    std::vector<uint8_t> pixels(row * rows);
    std::vector<uint8_t> line(row + padding);
    for (size_t k = 0; k < rows; ++k) {
        // The last row's padding may be missing.
        const size_t want = k + 1 < rows ? row + padding : row;
        if (!src.Read(line.data(), want)) {
            LogWarning(kSender, "Truncated BMP file %s\n", file.path);
            return InternalError;
        }
        // Rows run bottom-up in the file unless the height is negative.
        const size_t dst = rawHeight > 0 ? k : rows - 1 - k;
        uint8_t* out = pixels.data() + dst * row;
        std::memcpy(out, line.data(), row);
        for (size_t p = 0; p + pixel <= row; p += pixel) std::swap(out[p], out[p + 2]);
    }
    target->Create(1, static_cast<int>(width), bpp == 32 ? e_pfRGBA : e_pfRGB, static_cast<int>(height));
    target->SetLevel(0, std::move(pixels));
    return Ok;
}

int cDataManager::ReadJPEG(cImage* target, const filename& file)
{
    if (!target) return Failed;
    auto job = std::make_unique<cJpegJob>();
    if (const int opened = job->source.Open(file); opened != Ok) return opened;
    if (!DecodeJpeg(job.get())) {
        if (job->tooLarge) {
            LogWarning(kSender, "Invalid JPEG size in file %s\n", file.path);
            return InternalError;
        }
        LogWarning(kSender, "JPEG: %s\n", job->err.message);
        LogWarning(kSender, "Internal error in JPEG file: %s\n", file.path);
        return Failed;
    }
    const int format = job->components == 1 ? e_pfL8 : job->components == 3 ? e_pfRGB : e_pfNone;
    target->Create(1, job->width, format, job->height);
    if (format == e_pfNone)
        LogWarning(kSender, "Unsupported JPEG colour space in file %s\n", file.path);
    else
        target->SetLevel(0, std::move(job->pixels));
    return Ok;
}

int cDataManager::ReadPNG(cImage* target, const filename& file)
{
    if (!target) return Failed;
    auto job = std::make_unique<cPngJob>();
    if (const int opened = job->source.Open(file); opened != Ok) return opened;
    uint8_t sig[8];
    if (!job->source.Read(sig, sizeof(sig)) || png_sig_cmp(sig, 0, sizeof(sig)) != 0) {
        LogWarning(kSender, "Invalid PNG format: Unknown signature in file %s\n", file.path);
        return InternalError;
    }
    job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, job.get(), PngError, PngWarning);
    if (!job->png) {
        LogWarning(kSender, "Create 'png_struct' - failed\n");
        return Failed;
    }
    job->info = png_create_info_struct(job->png);
    if (!job->info) {
        png_destroy_read_struct(&job->png, nullptr, nullptr);
        LogWarning(kSender, "Create 'png_info' - failed\n");
        return Failed;
    }
    const bool ok = DecodePng(job.get());
    png_destroy_read_struct(&job->png, &job->info, nullptr);
    if (!ok) {
        if (job->tooLarge) {
            LogWarning(kSender, "Invalid PNG size in file %s\n", file.path);
            return InternalError;
        }
        LogWarning(kSender, "PNG: %s\n", job->message);
        LogWarning(kSender, "Internal error in PNG file: %s\n", file.path);
        return Failed;
    }
    int format = e_pfNone;
    switch (job->colourType) {
    case PNG_COLOR_TYPE_GRAY: format = e_pfL8; break;
    case PNG_COLOR_TYPE_RGB: format = e_pfRGB; break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: format = e_pfL8A8; break;
    case PNG_COLOR_TYPE_RGB_ALPHA: format = e_pfRGBA; break;
    default: break;
    }
    target->Create(1, job->width, format, job->height);
    if (format != e_pfNone) target->SetLevel(0, std::move(job->pixels));
    return Ok;
}

int cDataManager::WritePNG(const cImage* source, const filename& file)
{
    if (!source || source->GetLevelCount() < 1 || !source->GetLevel(0)) return InternalError;
    cPngWriteJob job;
    switch (source->GetFormatId()) {
    case e_pfL8: job.colourType = PNG_COLOR_TYPE_GRAY; job.bytes = 1; break;
    case e_pfL8A8: job.colourType = PNG_COLOR_TYPE_GRAY_ALPHA; job.bytes = 2; break;
    case e_pfRGB: job.colourType = PNG_COLOR_TYPE_RGB; job.bytes = 3; break;
    case e_pfRGBA: job.colourType = PNG_COLOR_TYPE_RGB_ALPHA; job.bytes = 4; break;
    default: return InternalError;
    }
    job.image = source;
    job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!job.png) {
        LogWarning(kSender, "Create 'png_struct' for writing- failed\n");
        return Failed;
    }
    job.info = png_create_info_struct(job.png);
    if (!job.info) {
        png_destroy_write_struct(&job.png, nullptr);
        LogWarning(kSender, "Create 'png_info' for writing - failed\n");
        return Failed;
    }
    const bool ok = EncodePng(&job);
    png_destroy_write_struct(&job.png, &job.info);
    if (!ok) return Failed;
    // Written beside the target and renamed over it: a failure leaves no
    // partial file behind.
    if (file.path.empty() || !file.zip.empty() ||
        !platform::WriteFileReplacing(platform::ToNativePath(file.path), job.out.data(), job.out.size())) {
        LogWarning(kSender, "Can't write file %s\n", file.path);
        return Unsupported;
    }
    return Ok;
}

} // namespace vek
