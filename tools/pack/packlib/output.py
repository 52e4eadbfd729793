"""Writing generated files: byte-stable encodings and an output tree that
remembers what it wrote, so stale files can be removed and the files can be
listed for the checks."""
import io
import os


class Output:
    """The data folder being generated. Paths are relative, with "/"."""

    def __init__(self, root):
        self.root = root
        self.written = set()

    def path(self, rel):
        return os.path.join(self.root, *rel.split("/"))

    def write_bytes(self, rel, data):
        """Writes atomically and only when the bytes differ, so an unchanged
        file keeps its time stamp and a reader never sees half a file."""
        full = self.path(rel)
        self.written.add(rel)
        try:
            with open(full, "rb") as f:
                if f.read() == data:
                    return
        except OSError:
            pass
        os.makedirs(os.path.dirname(full), exist_ok=True)
        tmp = full + ".tmp%d" % os.getpid()
        with open(tmp, "wb") as f:
            f.write(data)
        os.replace(tmp, full)

    def write_text(self, rel, text):
        # Scripts are plain ASCII with "\n" line ends whatever the host.
        self.write_bytes(rel, text.encode("ascii"))

    def write_png(self, rel, image):
        self.write_bytes(rel, png_bytes(image))

    def write_jpg(self, rel, image):
        self.write_bytes(rel, jpg_bytes(image))

    def remove_stale(self, folders):
        """Deletes files under the given wholly generated folders that this run
        did not write (a renamed texture must not linger as a second file)."""
        removed = []
        for folder in folders:
            top = self.path(folder)
            for dirpath, dirnames, filenames in os.walk(top):
                dirnames.sort()
                for name in sorted(filenames):
                    full = os.path.join(dirpath, name)
                    rel = os.path.relpath(full, self.root).replace(os.sep, "/")
                    # Another run writing the same folder keeps its
                    # half-written files under a ".tmp" name until it renames
                    # them; they are not stale.
                    if ".tmp" in name:
                        continue
                    if rel not in self.written:
                        os.remove(full)
                        removed.append(rel)
        return removed


def png_bytes(image):
    # PIL writes no time or text chunk unless asked; optimize=False keeps the
    # zlib settings fixed.
    buf = io.BytesIO()
    image.save(buf, format="PNG", optimize=False, compress_level=9)
    return buf.getvalue()


JPEG_QUALITY = 90


def jpg_bytes(image):
    buf = io.BytesIO()
    image.convert("RGB").save(buf, format="JPEG", quality=JPEG_QUALITY,
                              optimize=False, progressive=False, subsampling=0)
    return buf.getvalue()
