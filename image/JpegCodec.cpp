#include "image/JpegCodec.h"

#include <csetjmp>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "image/ImageBytes.h"

namespace {

// The library may use this much memory for one picture. A progressive or
// multi-scan file keeps every coefficient of the picture until its last
// scan: two bytes a pixel for each full-size component. This is what the
// most pixels an image may have need with four such components, and room
// for the library's rows and tables; a file that would need more (more
// components) fails instead of taking it.
const long kLibraryMemoryLimit = long(kMaxImagePixels * 4 * sizeof(JCOEF)) + 32L * 1024 * 1024;

// The library reads every scan of a progressive file over the whole picture
// before the first row comes out, and a file may hold thousands that each
// cost as much as a picture. Real files have a few dozen at most.
const int kMaxScans = 1000;

// Our own message, numbered after the library's.
enum { JERR_TOO_MANY_SCANS = 1000 };
const char* const kOwnMessages[] = { "JPEG file has more than %d scans", nullptr };

struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JumpOnError(j_common_ptr cinfo)
{
    JpegErrorManager* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    longjmp(manager->jump, 1);
}

// Warnings are counted and not shown, except the one that the data ended
// before the picture did: a truncated file is an error.
void JumpOnPrematureEnd(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF)
        JumpOnError(cinfo);
    cinfo->err->num_warnings++;
}

void InstallErrorManager(JpegErrorManager* manager)
{
    jpeg_std_error(&manager->pub);
    manager->pub.error_exit = JumpOnError;
    manager->pub.emit_message = JumpOnPrematureEnd;
    manager->pub.addon_message_table = kOwnMessages;
    manager->pub.first_addon_message = JERR_TOO_MANY_SCANS;
    manager->pub.last_addon_message = JERR_TOO_MANY_SCANS;
    manager->message[0] = '\0';
}

// Called as the library reads the file, at least once for each scan before
// its data: a scan past the limit ends the decoding as a library error.
void LimitScans(j_common_ptr cinfo)
{
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        cinfo->err->msg_code = JERR_TOO_MANY_SCANS;
        cinfo->err->msg_parm.i[0] = kMaxScans;
        (*cinfo->err->error_exit)(cinfo);
    }
}

} // namespace

bool CJpegCodec::Decode(FILE* file)
{
    if (file == nullptr)
        return false;
    jpeg_decompress_struct cinfo;
    JpegErrorManager errors;
    InstallErrorManager(&errors);
    cinfo.err = &errors.pub;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        // Sides beyond the library's own limit are refused like ours.
        SetLastError(errors.pub.msg_code == JERR_IMAGE_TOO_BIG ? "Can't allocate memory" : errors.message);
        return false;
    }
    jpeg_progress_mgr progress = {};
    progress.progress_monitor = LimitScans;
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kLibraryMemoryLimit;
    cinfo.progress = &progress;
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    // Before the library allocates anything for the picture.
    if (!IsImageSizeAllowed(cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        SetLastError("Can't allocate memory");
        return false;
    }
    jpeg_start_decompress(&cinfo);
    const JDIMENSION width = cinfo.output_width;
    const int components = cinfo.output_components;
    if (Create(width, cinfo.output_height, DWORD(8 * components), IMAGE_FORMAT_JPEG) == nullptr) {
        jpeg_destroy_decompress(&cinfo);
        SetLastError("Can't allocate memory");
        return false;
    }
    if (components == 1)
        SetGrayPalette();
    JSAMPARRAY buffer = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                   width * JDIMENSION(components), 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        BYTE* target = GetRow(LONG(cinfo.output_height - 1 - cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, buffer, 1);
        const JSAMPLE* row = buffer[0];
        if (components == 4) {
            // Inverted CMYK, as written with the Adobe marker.
            for (JDIMENSION x = 0; x < width; x++) {
                const JSAMPLE* p = row + 4 * x;
                unsigned k = p[3];
                target[3 * x] = BYTE(k * p[2] / 255);
                target[3 * x + 1] = BYTE(k * p[1] / 255);
                target[3 * x + 2] = BYTE(k * p[0] / 255);
            }
        } else if (components == 3) {
            CopySwappingRedBlue(target, row, width);
        } else {
            std::memcpy(target, row, width);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool CJpegCodec::Encode(FILE* file)
{
    if (file == nullptr || !IsValid())
        return false;
    const bool grey = GetBpp() <= 8;
    if (grey && !IsGrayScale()) {
        SetLastError("JPEG can save only RGB or GreyScale images");
        return false;
    }
    jpeg_compress_struct cinfo;
    JpegErrorManager errors;
    InstallErrorManager(&errors);
    cinfo.err = &errors.pub;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        SetLastError(errors.message);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    const DWORD width = GetWidth();
    cinfo.image_width = width;
    cinfo.image_height = GetHeight();
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, GetJpegQuality(), TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    // From the library's pool: the error path frees it with the compressor.
    JSAMPROW row = static_cast<JSAMPROW>((*cinfo.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                                   JPOOL_IMAGE, size_t(width) * 3 + 8));
    const RGBQUAD* palette = GetPalette();
    for (LONG y = LONG(GetHeight()) - 1; y >= 0; y--) {
        const BYTE* source = GetRow(y);
        if (grey) {
            // Grey palettes of fewer than 8 bits are unpacked to one byte each.
            for (DWORD x = 0; x < width; x++)
                row[x] = palette[GetPixelIndex(LONG(x), y)].rgbRed;
        } else {
            CopySwappingRedBlue(row, source, width);
        }
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}
