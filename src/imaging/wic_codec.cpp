#include "imaging/wic_codec.h"

#include <objbase.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include "imaging/dib.h"
#include "imaging/file_io.h"

namespace tomari::wic {

namespace {

// The few COM pointers here do not need more than this.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  T** Put() {
    Reset();
    return &p_;
  }
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

bool SaneSize(UINT width, UINT height) {
  return width > 0 && height > 0 && width <= static_cast<UINT>(kMaxSide) &&
         height <= static_cast<UINT>(kMaxSide) &&
         static_cast<long long>(width) * height <= kMaxPixels;
}

bool CreateFactory(ComPtr<IWICImagingFactory>& factory) {
  return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(factory.Put())));
}

Pixel FromBgra(std::uint32_t bgra) { return bgra & 0x00FFFFFFu; }

Pixel FromColor(WICColor c) { return c & 0x00FFFFFFu; }

// The colour table that the first image of a GIF file uses, as written in the
// file. WIC marks the transparent entry in its palette, and implementations
// differ in whether they keep its colour; skin authors rely on that colour
// being the key colour, so it is taken from the file itself.
bool GifColorTable(const std::wstring& path, std::vector<Pixel>& table) {
  std::string text;
  if (!fileio::ReadWholeFile(path, text, 64u * 1024 * 1024) || text.size() < 13) return false;
  const auto* b = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  if (std::memcmp(b, "GIF", 3) != 0) return false;
  std::size_t pos = 13;
  const auto readTable = [&](unsigned packed) {
    const std::size_t count = std::size_t{2} << (packed & 7);
    if (pos + 3 * count > size) return false;
    table.clear();
    for (std::size_t i = 0; i < count; ++i, pos += 3)
      table.push_back(MakePixel(b[pos], b[pos + 1], b[pos + 2]));
    return true;
  };
  if ((b[10] & 0x80) && !readTable(b[10])) return false;
  while (pos < size) {
    const unsigned char tag = b[pos++];
    if (tag == 0x2C) {  // image descriptor
      if (pos + 9 > size) return false;
      const unsigned packed = b[pos + 8];
      pos += 9;
      if (packed & 0x80) return readTable(packed);
      return !table.empty();
    }
    if (tag != 0x21 || pos >= size) return false;  // only extensions may come first
    ++pos;                                             // label
    while (pos < size && b[pos] != 0) pos += b[pos] + 1u;
    ++pos;  // block terminator
  }
  return false;
}

int IndexedBits(const WICPixelFormatGUID& format) {
  if (IsEqualGUID(format, GUID_WICPixelFormat1bppIndexed)) return 1;
  if (IsEqualGUID(format, GUID_WICPixelFormat2bppIndexed)) return 2;
  if (IsEqualGUID(format, GUID_WICPixelFormat4bppIndexed)) return 4;
  if (IsEqualGUID(format, GUID_WICPixelFormat8bppIndexed)) return 8;
  return 0;
}

bool DecodeIndexed(IWICImagingFactory* factory, IWICBitmapDecoder* decoder,
                   IWICBitmapFrameDecode* frame, UINT width, UINT height, int bits,
                   const std::wstring& path, bool gif, Bitmap& out) {
  std::vector<Pixel> colors;
  if (!gif || !GifColorTable(path, colors)) {
    ComPtr<IWICPalette> palette;
    if (FAILED(factory->CreatePalette(palette.Put()))) return false;
    if (FAILED(frame->CopyPalette(palette.Get())) && FAILED(decoder->CopyPalette(palette.Get())))
      return false;
    WICColor raw[256] = {};
    UINT count = 0;
    if (FAILED(palette->GetColors(256, raw, &count))) return false;
    for (UINT i = 0; i < count; ++i) colors.push_back(FromColor(raw[i]));
  }
  // An index beyond the table is black, as an unset palette entry would be.
  colors.resize(256, 0);
  const UINT stride = (width * static_cast<UINT>(bits) + 7) / 8;
  std::vector<BYTE> rows(static_cast<std::size_t>(stride) * height);
  if (FAILED(frame->CopyPixels(nullptr, stride, static_cast<UINT>(rows.size()), rows.data())))
    return false;
  Bitmap image(static_cast<int>(width), static_cast<int>(height));
  const unsigned mask = (1u << bits) - 1;
  for (UINT y = 0; y < height; ++y) {
    const BYTE* row = rows.data() + static_cast<std::size_t>(y) * stride;
    for (UINT x = 0; x < width; ++x) {
      const UINT bit = x * static_cast<UINT>(bits);
      const unsigned index = (row[bit / 8] >> (8 - bits - bit % 8)) & mask;
      image.At(static_cast<int>(x), static_cast<int>(y)) = colors[index];
    }
  }
  out = std::move(image);
  return true;
}

bool DecodeDirect(IWICBitmapSource* frame, UINT width, UINT height, Bitmap& out) {
  ComPtr<IWICBitmapSource> converted;
  if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame, converted.Put())) &&
      FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame, converted.Put())))
    return false;
  Bitmap image(static_cast<int>(width), static_cast<int>(height));
  const UINT stride = width * 4;
  if (FAILED(converted->CopyPixels(nullptr, stride, stride * height,
                                   reinterpret_cast<BYTE*>(image.pixels.data()))))
    return false;
  for (Pixel& p : image.pixels) p = FromBgra(p);
  out = std::move(image);
  return true;
}

void WriteOption(IPropertyBag2* bag, const wchar_t* name, VARIANT value) {
  if (!bag) return;
  PROPBAG2 option{};
  option.pstrName = const_cast<LPOLESTR>(name);
  bag->Write(1, &option, &value);
}

// Rows of 24-bit BGR, each padded to four bytes.
std::vector<BYTE> Bgr24(const Bitmap& image, UINT& stride) {
  stride = (static_cast<UINT>(image.width) * 3 + 3) & ~3u;
  std::vector<BYTE> rows(static_cast<std::size_t>(stride) * image.height, 0);
  for (int y = 0; y < image.height; ++y) {
    BYTE* row = rows.data() + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < image.width; ++x) {
      const Pixel p = image.At(x, y);
      row[3 * x] = static_cast<BYTE>(p & 0xFF);
      row[3 * x + 1] = static_cast<BYTE>((p >> 8) & 0xFF);
      row[3 * x + 2] = static_cast<BYTE>((p >> 16) & 0xFF);
    }
  }
  return rows;
}

// The picture's own colours when it has at most 256 of them, so the palette
// choice only loses detail where it must; otherwise WIC's optimised palette.
bool ChoosePalette(IWICImagingFactory* factory, const Bitmap& image, IWICPalette* palette,
                   std::vector<WICColor>& colors) {
  std::unordered_map<Pixel, int> seen;
  for (Pixel p : image.pixels) {
    if (seen.emplace(p & 0x00FFFFFFu, 0).second && seen.size() > 256) break;
  }
  if (seen.size() <= 256) {
    colors.clear();
    for (const auto& entry : seen) colors.push_back(0xFF000000u | entry.first);
    std::sort(colors.begin(), colors.end());
    return SUCCEEDED(palette->InitializeCustom(colors.data(), static_cast<UINT>(colors.size())));
  }
  ComPtr<IWICBitmap> source;
  Bitmap opaque = image;
  for (Pixel& p : opaque.pixels) p |= 0xFF000000u;
  if (FAILED(factory->CreateBitmapFromMemory(
          static_cast<UINT>(image.width), static_cast<UINT>(image.height),
          GUID_WICPixelFormat32bppBGR, static_cast<UINT>(image.width) * 4,
          static_cast<UINT>(opaque.pixels.size() * 4),
          reinterpret_cast<BYTE*>(opaque.pixels.data()), source.Put())))
    return false;
  if (FAILED(palette->InitializeFromBitmap(source.Get(), 256, FALSE))) return false;
  WICColor raw[256] = {};
  UINT count = 0;
  if (FAILED(palette->GetColors(256, raw, &count)) || count == 0) return false;
  colors.assign(raw, raw + count);
  return true;
}

// Each pixel to its nearest palette entry (squared distance in RGB).
std::vector<BYTE> MapToPalette(const Bitmap& image, const std::vector<WICColor>& colors) {
  std::unordered_map<Pixel, BYTE> cache;
  std::vector<BYTE> indices(image.pixels.size());
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    const Pixel p = image.pixels[i] & 0x00FFFFFFu;
    auto it = cache.find(p);
    if (it == cache.end()) {
      int best = 0;
      long bestDistance = -1;
      for (std::size_t c = 0; c < colors.size(); ++c) {
        const long dr =
            static_cast<long>((p >> 16) & 0xFF) - static_cast<long>((colors[c] >> 16) & 0xFF);
        const long dg =
            static_cast<long>((p >> 8) & 0xFF) - static_cast<long>((colors[c] >> 8) & 0xFF);
        const long db = static_cast<long>(p & 0xFF) - static_cast<long>(colors[c] & 0xFF);
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
          bestDistance = d;
          best = static_cast<int>(c);
        }
      }
      it = cache.emplace(p, static_cast<BYTE>(best)).first;
    }
    indices[i] = it->second;
  }
  return indices;
}

bool EncodeFrame(IWICImagingFactory* factory, IWICBitmapFrameEncode* frame, const Bitmap& image,
                 const EncodeOptions& options, bool png) {
  const UINT width = static_cast<UINT>(image.width);
  const UINT height = static_cast<UINT>(image.height);
  if (FAILED(frame->SetSize(width, height))) return false;
  if (png && options.pngPalette) {
    ComPtr<IWICPalette> palette;
    std::vector<WICColor> colors;
    if (SUCCEEDED(factory->CreatePalette(palette.Put())) &&
        ChoosePalette(factory, image, palette.Get(), colors)) {
      WICPixelFormatGUID format = GUID_WICPixelFormat8bppIndexed;
      if (SUCCEEDED(frame->SetPixelFormat(&format)) &&
          IsEqualGUID(format, GUID_WICPixelFormat8bppIndexed) &&
          SUCCEEDED(frame->SetPalette(palette.Get()))) {
        std::vector<BYTE> indices = MapToPalette(image, colors);
        return SUCCEEDED(
            frame->WritePixels(height, width, static_cast<UINT>(indices.size()), indices.data()));
      }
    }
    // An encoder without palettes still gets a correct, full-colour file.
  }
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(frame->SetPixelFormat(&format))) return false;
  if (IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) {
    UINT stride = 0;
    std::vector<BYTE> rows = Bgr24(image, stride);
    return SUCCEEDED(
        frame->WritePixels(height, stride, static_cast<UINT>(rows.size()), rows.data()));
  }
  // The encoder asked for another layout: let WIC convert to it.
  Bitmap copy = image;
  ComPtr<IWICBitmap> source;
  ComPtr<IWICBitmapSource> converted;
  return SUCCEEDED(factory->CreateBitmapFromMemory(
             width, height, GUID_WICPixelFormat32bppBGR, width * 4,
             static_cast<UINT>(copy.pixels.size() * 4), reinterpret_cast<BYTE*>(copy.pixels.data()),
             source.Put())) &&
         SUCCEEDED(WICConvertBitmapSource(format, source.Get(), converted.Put())) &&
         SUCCEEDED(frame->WriteSource(converted.Get(), nullptr));
}

bool EncodeToFile(IWICImagingFactory* factory, const Bitmap& image, const std::wstring& path,
                  Format format, const EncodeOptions& options) {
  const GUID& container = format == Format::Bmp    ? GUID_ContainerFormatBmp
                          : format == Format::Jpeg ? GUID_ContainerFormatJpeg
                                                   : GUID_ContainerFormatPng;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> props;
  if (FAILED(factory->CreateStream(stream.Put())) ||
      FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) ||
      FAILED(factory->CreateEncoder(container, nullptr, encoder.Put())) ||
      FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(frame.Put(), props.Put())))
    return false;
  if (format == Format::Jpeg) {
    VARIANT quality{};
    quality.vt = VT_R4;
    quality.fltVal = static_cast<float>(std::clamp(options.jpegQuality, 1, 100)) / 100.0f;
    WriteOption(props.Get(), L"ImageQuality", quality);
  }
  if (format == Format::Png && options.pngNoFilter) {
    VARIANT filter{};
    filter.vt = VT_UI1;
    filter.bVal = WICPngFilterNone;
    WriteOption(props.Get(), L"FilterOption", filter);
  }
  return SUCCEEDED(frame->Initialize(props.Get())) &&
         EncodeFrame(factory, frame.Get(), image, options, format == Format::Png) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

ComScope::ComScope() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  uninitialize_ = SUCCEEDED(hr);
  usable_ = SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
}

ComScope::~ComScope() {
  if (uninitialize_) CoUninitialize();
}

bool DecodeFile(const std::wstring& path, Bitmap& out, Container container) {
  if (path.empty()) return false;
  ComScope com;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  if (!com.Usable() || !CreateFactory(factory) ||
      FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, decoder.Put())))
    return false;
  GUID format{};
  if (FAILED(decoder->GetContainerFormat(&format))) return false;
  if (container == Container::Png && !IsEqualGUID(format, GUID_ContainerFormatPng)) return false;
  UINT width = 0, height = 0;
  if (FAILED(decoder->GetFrame(0, frame.Put())) || FAILED(frame->GetSize(&width, &height)) ||
      !SaneSize(width, height))
    return false;
  WICPixelFormatGUID pixelFormat{};
  if (FAILED(frame->GetPixelFormat(&pixelFormat))) return false;
  if (const int bits = IndexedBits(pixelFormat))
    return DecodeIndexed(factory.Get(), decoder.Get(), frame.Get(), width, height, bits, path,
                         IsEqualGUID(format, GUID_ContainerFormatGif), out);
  return DecodeDirect(frame.Get(), width, height, out);
}

bool EncodeFile(const Bitmap& image, const std::wstring& path, Format format,
                const EncodeOptions& options) {
  if (path.empty() || image.Empty() ||
      !SaneSize(static_cast<UINT>(image.width), static_cast<UINT>(image.height)) ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
    return false;
  ComScope com;
  ComPtr<IWICImagingFactory> factory;
  if (!com.Usable() || !CreateFactory(factory)) return false;
  // WIC opens the file by name; every COM object holding it is released
  // before the file is moved into place.
  return fileio::ReplaceFile(path, [&](const std::wstring& temporary, fileio::FileHandle& file) {
           file.Close();
           return EncodeToFile(factory.Get(), image, temporary, format, options);
         }).ok();
}

bool ReadSurface(HDC surface, int width, int height, Bitmap& out) {
  if (!surface ||
      !SaneSize(static_cast<UINT>(std::max(width, 0)), static_cast<UINT>(std::max(height, 0))))
    return false;
  DibSurface copy(surface, width, height);
  if (!copy.Ok() || !BitBlt(copy.Dc(), 0, 0, width, height, surface, 0, 0, SRCCOPY)) return false;
  GdiFlush();
  Bitmap image(width, height);
  const auto* bits = static_cast<const std::uint32_t*>(copy.Bits());
  for (std::size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = FromBgra(bits[i]);
  out = std::move(image);
  return true;
}

bool DrawToSurface(const Bitmap& image, HDC surface) {
  if (!surface || image.Empty()) return false;
  BITMAPINFO info = TopDownDib32(image.width, image.height);
  return SetDIBitsToDevice(
             surface, 0, 0, static_cast<DWORD>(image.width), static_cast<DWORD>(image.height), 0, 0,
             0, static_cast<UINT>(image.height), image.pixels.data(), &info, DIB_RGB_COLORS) > 0;
}

}  // namespace tomari::wic
