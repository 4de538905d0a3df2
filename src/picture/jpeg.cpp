// JPEG through libjpeg (the version-6 interface of libjpeg-turbo), from memory, straight into
// the RGBA rows of the picture.
//
// - Errors end decoding without a word: the error manager jumps back here, and warnings and
//   messages go nowhere.
// - Data that ends early is followed by an end-of-image marker that the source manager makes
//   up, so the rows the data reaches are shown and the rest is what libjpeg fills in.
// - CMYK and YCCK pictures are turned into RGB. Files with an Adobe marker store the inks
//   inverted (255 is no ink), as Adobe's own programs write them; files without one store
//   them plainly.
// - A progressive file may hold any number of scans, each a pass over the blocks of the
//   components it names. A scan that runs out of data still visits every block, so a file of
//   100 KB can ask for hundreds of passes over a 32-megapixel picture, seconds of work. More
//   than max_scans scans, or more than max_scan_blocks block visits in all, is refused; an
//   ordinary progressive file of the largest size (4:4:4, ten scans) takes under a quarter.

// jpeglib.h needs size_t and FILE declared first.
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <vector>

#include "picture/decode.h"
#include "picture/image_util.h"

namespace miaohui {

namespace {

constexpr int max_scans = 500;
constexpr long long max_scan_blocks = 1LL << 25;

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void on_error(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
void on_emit(j_common_ptr, int) {}
void on_output(j_common_ptr) {}

const JOCTET end_of_image[2] = {0xFF, JPEG_EOI};

void init_source(j_decompress_ptr) {}
void term_source(j_decompress_ptr) {}

// Called only when the data is used up: hand out an end-of-image marker, as often as asked.
boolean fill_input_buffer(j_decompress_ptr cinfo) {
  cinfo->src->next_input_byte = end_of_image;
  cinfo->src->bytes_in_buffer = sizeof end_of_image;
  return TRUE;
}

void skip_input_data(j_decompress_ptr cinfo, long count) {
  jpeg_source_mgr* src = cinfo->src;
  if (count <= 0) return;
  const auto n = static_cast<unsigned long>(count);
  if (n >= src->bytes_in_buffer) {
    src->next_input_byte += src->bytes_in_buffer;
    src->bytes_in_buffer = 0;  // the next read asks fill_input_buffer
    return;
  }
  src->next_input_byte += n;
  src->bytes_in_buffer -= n;
}

// libjpeg calls this before each step of reading the input; a new scan has its components
// in cur_comp_info by then, so its blocks are counted before any of them is visited.
struct ScanBudget {
  jpeg_progress_mgr pub;
  int counted_scan = 0;
  long long blocks = 0;
};

void on_progress(j_common_ptr cinfo) {
  const auto dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
  auto* budget = reinterpret_cast<ScanBudget*>(cinfo->progress);
  if (dinfo->input_scan_number == budget->counted_scan) return;
  budget->counted_scan = dinfo->input_scan_number;
  if (dinfo->input_scan_number > max_scans) on_error(cinfo);
  for (int i = 0; i < dinfo->comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i) {
    const jpeg_component_info* comp = dinfo->cur_comp_info[i];
    budget->blocks += static_cast<long long>(comp->width_in_blocks) * comp->height_in_blocks;
  }
  if (budget->blocks > max_scan_blocks) on_error(cinfo);
}

std::uint8_t times_over_255(unsigned a, unsigned b) {
  const unsigned v = a * b + 128;
  return static_cast<std::uint8_t>((v + (v >> 8)) >> 8);
}

// Four bytes a pixel in, four out: C, M, Y, K become R, G, B, opaque.
void cmyk_to_rgba(std::uint8_t* p, std::size_t pixels, bool inverted) {
  for (std::size_t i = 0; i < pixels; ++i, p += 4) {
    unsigned c = p[0], m = p[1], y = p[2], k = p[3];
    if (!inverted) {
      c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    }
    p[0] = times_over_255(c, k);
    p[1] = times_over_255(m, k);
    p[2] = times_over_255(y, k);
    p[3] = 0xFF;
  }
}

// Everything that libjpeg may leave by its error jump. No object here has a destructor to
// skip: the jump lands in decode_rows, whose own state lives in its caller.
struct JpegState {
  jpeg_decompress_struct cinfo{};
  ErrorManager error{};
  jpeg_source_mgr source{};
  ScanBudget progress{};
  std::vector<JSAMPROW> rows;
  bool created = false;

  ~JpegState() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

// True when every row of the picture has been decoded.
bool decode_rows(JpegState& s, std::span<const std::uint8_t> bytes, Image& out) {
  jpeg_decompress_struct& cinfo = s.cinfo;
  cinfo.err = jpeg_std_error(&s.error.pub);
  s.error.pub.error_exit = on_error;
  s.error.pub.emit_message = on_emit;
  s.error.pub.output_message = on_output;
  if (setjmp(s.error.jump)) {
    // An error after the last row (in the trailing markers) does not take the picture away.
    return !out.empty() && cinfo.output_height > 0 && cinfo.output_scanline >= cinfo.output_height;
  }
  jpeg_create_decompress(&cinfo);
  s.created = true;

  s.source.next_input_byte = bytes.data();
  s.source.bytes_in_buffer = bytes.size();
  s.source.init_source = init_source;
  s.source.fill_input_buffer = fill_input_buffer;
  s.source.skip_input_data = skip_input_data;
  s.source.resync_to_restart = jpeg_resync_to_restart;
  s.source.term_source = term_source;
  cinfo.src = &s.source;
  s.progress.pub.progress_monitor = on_progress;
  cinfo.progress = &s.progress.pub;

  jpeg_read_header(&cinfo, TRUE);
  if (!detail::picture_size_ok(cinfo.image_width, cinfo.image_height)) return false;
  bool cmyk = false;
  switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB: cinfo.out_color_space = JCS_EXT_RGBA; break;
    case JCS_CMYK:
    case JCS_YCCK:
      cinfo.out_color_space = JCS_CMYK;
      cmyk = true;
      break;
    default: return false;
  }

  jpeg_start_decompress(&cinfo);
  if (cinfo.output_components != 4) return false;
  out = detail::make_image(cinfo.output_width, cinfo.output_height);
  if (out.empty()) return false;
  const std::size_t stride = static_cast<std::size_t>(out.width) * 4;
  s.rows.resize(static_cast<std::size_t>(out.height));
  for (std::size_t y = 0; y < s.rows.size(); ++y) s.rows[y] = out.rgba.data() + y * stride;

  while (cinfo.output_scanline < cinfo.output_height) {
    const JDIMENSION first = cinfo.output_scanline;
    const JDIMENSION got =
        jpeg_read_scanlines(&cinfo, s.rows.data() + first, cinfo.output_height - first);
    if (got == 0) return false;
    if (cmyk) cmyk_to_rgba(s.rows[first], std::size_t{got} * out.width, cinfo.saw_Adobe_marker);
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

Image decode_jpeg(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return {};
  JpegState state;
  Image image;
  if (!decode_rows(state, bytes, image)) return {};
  return image;
}

}  // namespace miaohui
