/* Writes the small sound files the audio tests and the decoder fuzz corpus
 * use: OGG Vorbis tones (encoded here with libvorbisenc), a WAV tone and a
 * tiny 4-channel module. Usage: make-test-sounds OUTDIR CORPUSDIR */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <vorbis/vorbisenc.h>

static int write_ogg(const char* path, int rate, int channels, double seconds, double freq)
{
    vorbis_info vi;
    vorbis_comment vc;
    vorbis_dsp_state vd;
    vorbis_block vb;
    ogg_stream_state os;
    ogg_page og;
    ogg_packet op, hdr, hdr_comm, hdr_code;
    FILE* f = fopen(path, "wb");
    long frames = (long)(rate * seconds), done = 0;
    int eos = 0;
    if (!f) return 1;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.3f)) return 1;
    vorbis_comment_init(&vc);
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_init(&os, 12345); /* fixed serial: the files are reproducible */
    vorbis_analysis_headerout(&vd, &vc, &hdr, &hdr_comm, &hdr_code);
    ogg_stream_packetin(&os, &hdr);
    ogg_stream_packetin(&os, &hdr_comm);
    ogg_stream_packetin(&os, &hdr_code);
    while (ogg_stream_flush(&os, &og)) {
        fwrite(og.header, 1, og.header_len, f);
        fwrite(og.body, 1, og.body_len, f);
    }
    while (!eos) {
        long n = frames - done > 1024 ? 1024 : frames - done;
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buf = vorbis_analysis_buffer(&vd, (int)n);
            for (long i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    buf[c][i] = (float)(0.5 * sin(2 * M_PI * freq * (done + i) / rate));
            vorbis_analysis_wrote(&vd, (int)n);
            done += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, NULL);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (!eos && ogg_stream_pageout(&os, &og)) {
                    fwrite(og.header, 1, og.header_len, f);
                    fwrite(og.body, 1, og.body_len, f);
                    if (ogg_page_eos(&og)) eos = 1;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    fclose(f);
    return 0;
}

static void put32(FILE* f, unsigned v) { for (int i = 0; i < 4; ++i) fputc((v >> (8 * i)) & 255, f); }
static void put16(FILE* f, unsigned v) { fputc(v & 255, f); fputc((v >> 8) & 255, f); }

static int write_wav(const char* path, int rate, int channels, long frames)
{
    FILE* f = fopen(path, "wb");
    unsigned data = (unsigned)(frames * channels * 2);
    if (!f) return 1;
    fwrite("RIFF", 1, 4, f); put32(f, 36 + data); fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16); put16(f, 1); put16(f, channels); put32(f, rate);
    put32(f, rate * channels * 2); put16(f, channels * 2); put16(f, 16);
    fwrite("data", 1, 4, f); put32(f, data);
    for (long i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) put16(f, (unsigned)(short)(8000 * sin(i * 0.0627)));
    fclose(f);
    return 0;
}

/* A 4-channel "M.K." module: one looped square-wave sample, three orders. */
static int write_mod(const char* path)
{
    unsigned char m[1084 + 3 * 1024 + 32];
    memset(m, 0, sizeof m);
    memcpy(m, "test module", 11);
    unsigned char* s = m + 20;
    memcpy(s, "square", 6);
    s[22] = 0; s[23] = 16;  /* length in words */
    s[25] = 64;             /* volume */
    s[26] = 0; s[27] = 0;   /* loop start */
    s[28] = 0; s[29] = 16;  /* loop length */
    m[950] = 3; m[951] = 127;
    m[952] = 0; m[953] = 1; m[954] = 2;
    memcpy(m + 1080, "M.K.", 4);
    for (int p = 0; p < 3; ++p) {
        unsigned char* row0 = m + 1084 + p * 1024;
        unsigned period = 428 >> p;
        row0[0] = (unsigned char)(period >> 8); row0[1] = period & 255; row0[2] = 0x10;
        if (p == 0) { row0[8 + 2] = 0x0F; row0[8 + 3] = 0x06; }
    }
    for (int i = 0; i < 32; ++i) m[1084 + 3 * 1024 + i] = i < 16 ? 0x40 : 0xC0;
    FILE* f = fopen(path, "wb");
    if (!f) return 1;
    fwrite(m, 1, sizeof m, f);
    fclose(f);
    return 0;
}

int main(int argc, char** argv)
{
    char p[4096];
    int rc = 0;
    if (argc < 3) { fprintf(stderr, "usage: %s OUTDIR CORPUSDIR\n", argv[0]); return 2; }
    snprintf(p, sizeof p, "%s/tone_44k_stereo.ogg", argv[1]); rc |= write_ogg(p, 44100, 2, 0.25, 440);
    snprintf(p, sizeof p, "%s/tone_22k_mono.ogg", argv[1]); rc |= write_ogg(p, 22050, 1, 0.25, 440);
    snprintf(p, sizeof p, "%s/tone.ogg", argv[2]); rc |= write_ogg(p, 11025, 1, 0.05, 440);
    snprintf(p, sizeof p, "%s/tone.wav", argv[2]); rc |= write_wav(p, 11025, 1, 200);
    snprintf(p, sizeof p, "%s/square.mod", argv[2]); rc |= write_mod(p);
    return rc;
}
