// JPEG reading and writing through libjpeg (API 62). The library's error exit would end
// the process; ours jumps back to the one small function that called into the library, so
// a damaged file fails only its own decode. Those functions own nothing with a destructor.
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include <jerror.h>

#include "map/image_codec_limits.h"
#include "map/image_files.h"
#include "platform/atomic_file.h"
#include "platform/file_util.h"

namespace zorvane {

namespace {

// Pixels a Huffman-coded file may claim per byte it holds: twice the most it can code
// (a bit per 8 x 8 block), for headroom.
constexpr uint64_t kMaxJpegPixelsPerByte = 1024;

struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

[[noreturn]] void jpegErrorExit(j_common_ptr cinfo) {
    longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

// A file that ends early, or whose scan data ends or breaks before the picture does, would
// otherwise decode "successfully" as grey from there on; that is treated as the damage it
// is. It also stops a small file that claims a huge picture at its first missing row rather
// than after filling all of it. Other warnings (stray bytes between markers) are common in
// files that show fine, and pass silently.
void jpegEmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0) {
        const int code = cinfo->err->msg_code;
        if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE)
            jpegErrorExit(cinfo);
        cinfo->err->num_warnings++;
    }
}

void jpegOutputMessage(j_common_ptr) {}

void installErrorManager(JpegErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = jpegErrorExit;
    err.pub.emit_message = jpegEmitMessage;
    err.pub.output_message = jpegOutputMessage;
}

// Ends the decode of a file with more scans than any real picture has.
void jpegProgress(j_common_ptr cinfo) {
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxJpegScans)
        ERREXIT(cinfo, JERR_BAD_PROGRESSION);
}

struct JpegDecoder {
    jpeg_decompress_struct cinfo{};
    JpegErrorManager err{};
    jpeg_progress_mgr progress{};
    JpegDecoder() {
        installErrorManager(err);
        cinfo.err = &err.pub;
        progress.progress_monitor = jpegProgress;
    }
    // Safe on a struct whose creation failed: the memory manager pointer is then null.
    ~JpegDecoder() { jpeg_destroy_decompress(&cinfo); }
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;
};

struct JpegEncoder {
    jpeg_compress_struct cinfo{};
    JpegErrorManager err{};
    JpegEncoder() {
        installErrorManager(err);
        cinfo.err = &err.pub;
    }
    ~JpegEncoder() { jpeg_destroy_compress(&cinfo); }
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;
};

// libjpeg's output goes through this buffer into the file writer; a failed write is a
// library error like any other.
struct JpegFileDestination {
    jpeg_destination_mgr pub;
    AtomicFileWriter* writer;
    JOCTET buffer[65536];
};

JpegFileDestination* destinationOf(j_compress_ptr c) {
    return reinterpret_cast<JpegFileDestination*>(c->dest);
}

void flushDestination(j_compress_ptr c, size_t length) {
    JpegFileDestination* d = destinationOf(c);
    if (!d->writer->write(std::string_view(reinterpret_cast<const char*>(d->buffer), length)))
        ERREXIT(c, JERR_FILE_WRITE);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = sizeof d->buffer;
}

void initDestination(j_compress_ptr c) {
    flushDestination(c, 0);
}
boolean emptyOutputBuffer(j_compress_ptr c) {
    flushDestination(c, sizeof destinationOf(c)->buffer);
    return TRUE;
}
void termDestination(j_compress_ptr c) {
    flushDestination(c, sizeof destinationOf(c)->buffer - destinationOf(c)->pub.free_in_buffer);
}

// setjmp frame: the header only, with the library's memory capped first.
bool readJpegHeader(JpegDecoder* d, FILE* file) {
    if (setjmp(d->err.jump)) return false;
    jpeg_create_decompress(&d->cinfo);
    d->cinfo.mem->max_memory_to_use = kMaxJpegLibraryBytes;
    d->cinfo.progress = &d->progress;
    jpeg_stdio_src(&d->cinfo, file);
    jpeg_read_header(&d->cinfo, TRUE);
    return true;
}

// setjmp frame: start of decompression, asking for RGB output (greyscale files come out
// with equal red, green and blue). Only called once the header's size is known to be sane:
// a progressive file allocates its whole coefficient buffer here.
bool startJpegDecode(JpegDecoder* d) {
    if (setjmp(d->err.jump)) return false;
    d->cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d->cinfo);
    return true;
}

// setjmp frame: every scanline into `pixels` (output_width pixels per row), opaque.
bool readJpegRows(JpegDecoder* d, uint8_t* line, uint32_t* pixels) {
    if (setjmp(d->err.jump)) return false;
    j_decompress_ptr c = &d->cinfo;
    while (c->output_scanline < c->output_height) {
        uint32_t* dst = pixels + size_t(c->output_scanline) * c->output_width;
        JSAMPROW row = line;
        if (jpeg_read_scanlines(c, &row, 1) != 1) return false;
        for (JDIMENSION x = 0; x < c->output_width; ++x)
            dst[x] = makeArgb(0xFF, line[3 * x], line[3 * x + 1], line[3 * x + 2]);
    }
    jpeg_finish_decompress(c);
    return true;
}

// setjmp frame: the whole compression; `line` holds one row turned into red, green, blue.
bool writeJpegGuarded(JpegEncoder* e, JpegFileDestination* dest, const RgbImage* image,
                      uint8_t* line, int quality, bool progressive) {
    if (setjmp(e->err.jump)) return false;
    j_compress_ptr c = &e->cinfo;
    jpeg_create_compress(c);
    c->dest = &dest->pub;
    c->image_width = JDIMENSION(image->width());
    c->image_height = JDIMENSION(image->height());
    c->input_components = 3;
    c->in_color_space = JCS_RGB;
    jpeg_set_defaults(c);
    jpeg_set_quality(c, quality, TRUE);
    if (progressive) jpeg_simple_progression(c);
    jpeg_start_compress(c, TRUE);
    while (c->next_scanline < c->image_height) {
        const uint8_t* src = image->row(int(c->next_scanline));
        for (int x = 0; x < image->width(); ++x) {
            line[3 * x] = src[3 * x + 2];
            line[3 * x + 1] = src[3 * x + 1];
            line[3 * x + 2] = src[3 * x];
        }
        JSAMPROW row = line;
        jpeg_write_scanlines(c, &row, 1);
    }
    jpeg_finish_compress(c);
    return true;
}

}  // namespace

bool readJpegSize(const std::string& path, int& width, int& height) {
    StdioFile file = openRegularFile(path, kMaxPictureFileBytes);
    if (!file) return false;
    JpegDecoder decoder;
    const jpeg_decompress_struct& c = decoder.cinfo;
    if (!readJpegHeader(&decoder, file.get()) || !decodedSizeAllowed(c.image_width, c.image_height))
        return false;
    width = int(c.image_width);
    height = int(c.image_height);
    return true;
}

bool decodeJpeg(const std::string& path, Bitmap32& out) {
    out.reset();
    uint64_t fileBytes = 0;
    StdioFile file = openRegularFile(path, kMaxPictureFileBytes, nullptr, &fileBytes);
    if (!file) return false;
    JpegDecoder decoder;
    const jpeg_decompress_struct& c = decoder.cinfo;
    if (!readJpegHeader(&decoder, file.get()) || !decodedSizeAllowed(c.image_width, c.image_height))
        return false;
    // Huffman coding spends at least a bit on every 8 x 8 block (its DC difference), so a
    // whole picture takes at least a byte per 512 pixels. A file far smaller than that
    // claims a picture it cannot hold; it is refused before its pixels are allocated.
    if (!c.arith_code && fileBytes * kMaxJpegPixelsPerByte < uint64_t(c.image_width) * c.image_height)
        return false;
    if (!startJpegDecode(&decoder)) return false;
    if (c.output_components != 3 || !decodedSizeAllowed(c.output_width, c.output_height))
        return false;
    Bitmap32 picture;
    if (!picture.create(int(c.output_width), int(c.output_height))) return false;
    std::vector<uint8_t> line(size_t(c.output_width) * 3);
    if (!readJpegRows(&decoder, line.data(), picture.row(0))) return false;
    out = std::move(picture);
    return true;
}

bool saveJpeg(const std::string& path, const RgbImage& image, int quality, bool progressive,
              const std::string& root) {
    if (image.empty()) return false;
    std::vector<uint8_t> line(image.rowBytes());
    AtomicFileWriter writer;
    if (!writer.open(path, root)) return false;
    auto destination = std::make_unique<JpegFileDestination>();
    destination->pub.init_destination = initDestination;
    destination->pub.empty_output_buffer = emptyOutputBuffer;
    destination->pub.term_destination = termDestination;
    destination->writer = &writer;
    JpegEncoder encoder;
    if (!writeJpegGuarded(&encoder, destination.get(), &image, line.data(), quality, progressive))
        return false;
    return writer.commit();
}

}  // namespace zorvane
