// Turns an icon drawn as text into a Windows .ico file, or into a PNG of a
// given size for Linux icon themes. Built and run on the build machine, so
// that the repository keeps only the reviewable drawing.
//
//   icon_compiler drawing.txt out.ico
//   icon_compiler --png <size> drawing.txt out.png
// A PNG is one of the drawing's images scaled up by a whole factor, each dot
// a square of pixels, so it stays crisp: the largest image whose size divides
// <size>, with the most colours among those.
//
// Input: "image <size> <colours>" lines, each followed by <size> rows of
// <size> characters. A hex digit is an index into the standard 16-colour
// palette ("0" black ... "F" white); "." is transparent. 2-colour images use
// "0" and "F" only. Lines starting with "#" are comments.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Image {
  int size = 0, colours = 0;
  std::vector<std::string> rows;
};

constexpr std::uint8_t kPalette16[16][3] = {  // R, G, B
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};

void Put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, unsigned v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

[[noreturn]] void Fail(const std::string& why) {
  std::cerr << "icon_compiler: " << why << "\n";
  std::exit(1);
}

int IndexOf(char c, int colours) {
  if (c == '.') return 0;
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  if (v < 0) Fail(std::string("unknown colour '") + c + "'");
  if (colours == 2) {
    if (v != 0 && v != 15) Fail("a 2-colour image uses 0 and F only");
    return v == 15 ? 1 : 0;
  }
  return v;
}

std::string Encode(const Image& img) {
  const int bpp = img.colours == 2 ? 1 : 4;
  const int xor_stride = ((img.size * bpp + 31) / 32) * 4;
  const int and_stride = ((img.size + 31) / 32) * 4;
  std::string out;
  Put32(out, 40);
  Put32(out, img.size);
  Put32(out, img.size * 2);
  Put16(out, 1);
  Put16(out, bpp);
  Put32(out, 0);
  Put32(out, (xor_stride + and_stride) * img.size);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, img.colours);
  Put32(out, 0);
  for (int i = 0; i < img.colours; ++i) {
    const auto* rgb = img.colours == 2 ? kPalette16[i ? 15 : 0] : kPalette16[i];
    out += static_cast<char>(rgb[2]);
    out += static_cast<char>(rgb[1]);
    out += static_cast<char>(rgb[0]);
    out += '\0';
  }
  for (int y = img.size - 1; y >= 0; --y) {  // bottom-up
    std::string row(xor_stride, '\0');
    for (int x = 0; x < img.size; ++x) {
      const int v = IndexOf(img.rows[y][x], img.colours);
      if (bpp == 1) {
        row[x / 8] = static_cast<char>(row[x / 8] | (v << (7 - x % 8)));
      } else {
        row[x / 2] = static_cast<char>(row[x / 2] | (v << (x % 2 ? 0 : 4)));
      }
    }
    out += row;
  }
  for (int y = img.size - 1; y >= 0; --y) {
    std::string row(and_stride, '\0');
    for (int x = 0; x < img.size; ++x)
      if (img.rows[y][x] == '.') row[x / 8] = static_cast<char>(row[x / 8] | (1 << (7 - x % 8)));
    out += row;
  }
  return out;
}

std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : bytes) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBig32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void Chunk(std::string& png, const char* type, const std::string& data) {
  PutBig32(png, static_cast<std::uint32_t>(data.size()));
  const std::string body = type + data;
  png += body;
  PutBig32(png, Crc32(body));
}

// RGBA rows in a zlib stream of stored (uncompressed) deflate blocks: no
// library needed, and the package compresses them anyway.
std::string Png(const Image& img, int scale) {
  const int size = img.size * scale;
  std::string raw;
  for (int y = 0; y < size; ++y) {
    raw += '\0';  // no filter
    for (int x = 0; x < size; ++x) {
      const char c = img.rows[y / scale][x / scale];
      const int v = img.colours == 2 ? (IndexOf(c, 2) ? 15 : 0) : IndexOf(c, 16);
      const auto* rgb = kPalette16[v];
      raw += static_cast<char>(rgb[0]);
      raw += static_cast<char>(rgb[1]);
      raw += static_cast<char>(rgb[2]);
      raw += static_cast<char>(c == '.' ? 0 : 255);
    }
  }
  std::string z = "\x78\x01";
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) a = (a + c) % 65521, b = (b + a) % 65521;
  for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
    z += static_cast<char>(at + n >= raw.size() ? 1 : 0);
    Put16(z, static_cast<unsigned>(n));
    Put16(z, static_cast<unsigned>(~n & 0xFFFF));
    z += raw.substr(at, n);
  }
  PutBig32(z, (b << 16) | a);
  std::string header;
  PutBig32(header, static_cast<std::uint32_t>(size));
  PutBig32(header, static_cast<std::uint32_t>(size));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8-bit RGBA
  std::string png = "\x89PNG\r\n\x1a\n";
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", "");
  return png;
}

}  // namespace

int main(int argc, char** argv) {
  int png_size = 0;
  if (argc == 5 && std::string(argv[1]) == "--png") {
    png_size = std::atoi(argv[2]);
    argv += 2;
    argc -= 2;
  }
  if (argc != 3) Fail("usage: icon_compiler [--png <size>] drawing.txt out.ico|out.png");
  std::ifstream in(argv[1]);
  if (!in) Fail(std::string("cannot read ") + argv[1]);
  std::vector<Image> images;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line.rfind("image ", 0) == 0) {
      Image img;
      std::istringstream(line.substr(6)) >> img.size >> img.colours;
      if ((img.size != 16 && img.size != 32) || (img.colours != 2 && img.colours != 16))
        Fail("bad image line: " + line);
      images.push_back(img);
      continue;
    }
    if (images.empty()) Fail("rows before an image line");
    Image& img = images.back();
    if (static_cast<int>(line.size()) != img.size) Fail("row of wrong width: " + line);
    img.rows.push_back(line);
  }
  for (const Image& img : images)
    if (static_cast<int>(img.rows.size()) != img.size) Fail("image of wrong height");
  if (png_size > 0) {
    const Image* best = nullptr;
    for (const Image& img : images)
      if (png_size % img.size == 0 && (!best || img.size > best->size ||
                                       (img.size == best->size && img.colours > best->colours)))
        best = &img;
    if (!best) Fail("no image divides " + std::to_string(png_size));
    const std::string png = Png(*best, png_size / best->size);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(png.data(), static_cast<std::streamsize>(png.size()));
    return out ? 0 : 1;
  }
  std::string ico;
  Put16(ico, 0);
  Put16(ico, 1);
  Put16(ico, static_cast<unsigned>(images.size()));
  std::vector<std::string> data;
  unsigned offset = 6 + 16 * static_cast<unsigned>(images.size());
  for (const Image& img : images) {
    data.push_back(Encode(img));
    ico += static_cast<char>(img.size);
    ico += static_cast<char>(img.size);
    ico += static_cast<char>(img.colours == 16 ? 16 : 2);
    ico += '\0';
    Put16(ico, 1);
    Put16(ico, img.colours == 2 ? 1 : 4);
    Put32(ico, static_cast<unsigned>(data.back().size()));
    Put32(ico, offset);
    offset += static_cast<unsigned>(data.back().size());
  }
  for (const auto& d : data) ico += d;
  std::ofstream out(argv[2], std::ios::binary);
  out.write(ico.data(), static_cast<std::streamsize>(ico.size()));
  return out ? 0 : 1;
}
