// Draws the skins that ship with トマリギ and writes their files:
//   Skins/Default/  the rectangle skin every user sees first (BMP images)
//   Skins/Branch/   a map skin: round buttons on a perch branch (PNG images)
// Every pixel is computed here, so the images are reproducible from this file
// alone: run tools/skingen/build.sh. The .tsk files are written in Shift-JIS,
// as users' own skins are.
//
// Shapes are point-in-shape tests in pixel coordinates, drawn with 8 x 8
// supersampling. Edges that should be crisp lie on whole pixel coordinates.
#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "../common/image_bytes.h"

namespace {

using tomari::Bitmap;
using tomari::MakePixel;
using tomari::Pixel;

constexpr double kPi = 3.14159265358979323846;
constexpr Pixel kKey = MakePixel(255, 0, 255);

// ---- Shapes -------------------------------------------------------------------

using Shape = std::function<bool(double, double)>;

Shape Circle(double cx, double cy, double r) {
  return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Shape Box(double x0, double y0, double x1, double y1) {
  return [=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
}

Shape RoundBox(double x0, double y0, double x1, double y1, double r) {
  return [=](double x, double y) {
    if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
    const double cx = std::clamp(x, x0 + r, x1 - r);
    const double cy = std::clamp(y, y0 + r, y1 - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
  };
}

// A line from a to b, `width` thick, with round ends.
Shape Stroke(double ax, double ay, double bx, double by, double width) {
  return [=](double x, double y) {
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / len2, 0.0, 1.0) : 0;
    const double px = ax + t * dx - x, py = ay + t * dy - y;
    return px * px + py * py <= width * width / 4;
  };
}

Shape Polygon(std::vector<std::pair<double, double>> points) {
  return [points](double x, double y) {
    bool inside = false;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const auto [xi, yi] = points[i];
      const auto [xj, yj] = points[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

Shape Union(std::vector<Shape> parts) {
  return [parts](double x, double y) {
    for (const Shape& s : parts)
      if (s(x, y)) return true;
    return false;
  };
}

Shape Minus(Shape a, Shape b) {
  return [a, b](double x, double y) { return a(x, y) && !b(x, y); };
}

Shape Moved(Shape s, double dx, double dy) {
  return [s, dx, dy](double x, double y) { return s(x - dx, y - dy); };
}

// ---- Painting -----------------------------------------------------------------

Pixel Mix(Pixel a, Pixel b, double t) {
  const auto channel = [&](int shift) {
    const double va = (a >> shift) & 0xFF, vb = (b >> shift) & 0xFF;
    return static_cast<int>(std::lround(va + (vb - va) * t));
  };
  return MakePixel(channel(16), channel(8), channel(0));
}

Pixel Hex(unsigned rgb) { return MakePixel((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// Paints `shape` over `image` with antialiased edges, `paint` giving the colour
// at each pixel and `opacity` how much of it covers what lies below. Pixels of
// the key colour are left alone: the outline is decided once, without blending,
// so no edge ever mixes with the key.
void Fill(Bitmap& image, const Shape& shape, const std::function<Pixel(int, int)>& paint,
          double opacity = 1.0) {
  constexpr int kSamples = 8;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      if (image.At(x, y) == kKey) continue;
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx)
          if (shape(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples)) ++hits;
      if (hits == 0) continue;
      image.At(x, y) =
          Mix(image.At(x, y), paint(x, y), opacity * hits / double(kSamples * kSamples));
    }
}

void Fill(Bitmap& image, const Shape& shape, Pixel colour, double opacity = 1.0) {
  Fill(
      image, shape, [colour](int, int) { return colour; }, opacity);
}

// Inside or outside, no blending: for the widget's outline against the key colour.
bool Covers(const Shape& shape, int x, int y) { return shape(x + 0.5, y + 0.5); }

// ---- Icons: 16 x 16, drawn at (ox, oy) -----------------------------------------

enum class Icon { Pin, Clock, Camera, Text, TopMost, Translucent, Gear, Menu };

Shape IconShape(Icon icon) {
  switch (icon) {
    case Icon::Pin:  // a push pin: fixed to this window
      return Union({RoundBox(5, 1, 11, 3.5, 1), Polygon({{6, 3}, {10, 3}, {10.5, 8}, {5.5, 8}}),
                    RoundBox(3, 8, 13, 10, 1), Box(7.4, 10, 8.6, 15.5)});
    case Icon::Clock:
      return Union({Minus(Circle(8, 8, 7.3), Circle(8, 8, 5.8)), Stroke(8, 8.2, 8, 4, 1.5),
                    Stroke(8, 8.2, 11, 9.8, 1.5)});
    case Icon::Camera:
      return Union({Minus(RoundBox(1, 4, 15, 14, 2), Circle(8, 9, 3.6)), Circle(8, 9, 2.1),
                    RoundBox(5, 2, 11, 5, 1)});
    case Icon::Text:  // a page of text lines
      return Union({Minus(RoundBox(2, 1, 14, 15, 1.5), RoundBox(3.5, 2.5, 12.5, 13.5, 0.5)),
                    Box(5, 4.5, 11, 6), Box(5, 7.5, 11, 9), Box(5, 10.5, 9, 12)});
    case Icon::TopMost:  // a window in front of another
      return Union({Minus(Box(1, 6, 10, 15), Box(2.5, 7.5, 8.5, 13.5)), Box(6, 1, 15, 10)});
    case Icon::Translucent:  // the frame behind shows through; see DrawIcon
      return Minus(RoundBox(1, 1, 11, 11, 1.5), RoundBox(2.5, 2.5, 9.5, 9.5, 0.5));
    case Icon::Gear:
      return Minus(
          [](double x, double y) {
            const double dx = x - 8, dy = y - 8;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double a = std::atan2(dy, dx) + kPi / 8;
            const double tooth = std::cos(8 * a) > 0.15 ? 7.4 : 5.6;
            return r <= tooth;
          },
          Circle(8, 8, 2.4));
    case Icon::Menu:
      return Union(
          {RoundBox(2, 3, 14, 5, 0.5), RoundBox(2, 7, 14, 9, 0.5), RoundBox(2, 11, 14, 13, 0.5)});
  }
  return Box(0, 0, 0, 0);
}

// Draws an icon in `colour` with its top left at (ox, oy). The translucent icon
// adds a square in front of its frame at half strength, so the frame shows
// through it, which is what the command does to a window.
void DrawIcon(Bitmap& image, Icon icon, double ox, double oy, Pixel colour) {
  Fill(image, Moved(IconShape(icon), ox, oy), colour);
  if (icon == Icon::Translucent) {
    const Shape front = RoundBox(5, 5, 15, 15, 1.5);
    Fill(image, Moved(front, ox, oy), colour, 0.5);
    Fill(image, Moved(Minus(front, RoundBox(6.2, 6.2, 13.8, 13.8, 0.8)), ox, oy), colour);
  }
}

// ---- Buttons --------------------------------------------------------------------

enum State { kNormal, kHover, kDown, kUnavailable, kOn, kStateCount };
const char* const kStateFiles[kStateCount] = {"Back", "Float", "Down", "Unavailable", "Available"};

struct ButtonSpec {
  const char* type;
  const char* value;
  const char* tooltip;
  Icon icon;
};

// ---- The Default skin -------------------------------------------------------------
//
// A compact dark slate bar, 26 pixels high, with a rounded key-coloured outline,
// a grip on the left and eight 22 x 22 buttons in four groups. Hover lifts a
// button, pressing sinks it, an unavailable one is dimmed, and a command that is
// switched on glows in the program's teal.

namespace slate {
const Pixel kTop = Hex(0x3B4352), kBottom = Hex(0x272C36), kBorder = Hex(0x12151B);
const Pixel kHighlight = Hex(0x535C6E), kIcon = Hex(0xE9EDF3), kIconDim = Hex(0x646B79);
const Pixel kHoverFill = Hex(0x4B5569), kHoverEdge = Hex(0x65718A), kDownFill = Hex(0x1B1F27);
const Pixel kDownEdge = Hex(0x0E1116), kDownIcon = Hex(0xC7CFDA), kOnFill = Hex(0x2C8C7B);
const Pixel kOnEdge = Hex(0x4CC7B0), kOnIcon = Hex(0xFFFFFF), kGrip = Hex(0x737D90);
const Pixel kGripShadow = Hex(0x1B1F27), kSeparator = Hex(0x1A1E25);
}  // namespace slate

constexpr int kDefaultHeight = 26;
constexpr int kButtonSize = 22;
constexpr int kButtonTop = 2;

const ButtonSpec kDefaultButtons[] = {
    {"WINDOWSET", "", "このウインドウに固定", Icon::Pin},
    {"TITLECLOCK", "", "タイトル時計", Icon::Clock},
    {"CAPTUREALL", "", "ウインドウをキャプチャ", Icon::Camera},
    {"GETTEXT", "", "ウインドウ内のテキスト取得", Icon::Text},
    {"TOPMOST", "", "常に手前に表示", Icon::TopMost},
    {"SEMITRANSPARENT", "", "半透明にする", Icon::Translucent},
    {"SETTING", "", "設定", Icon::Gear},
    {"POPUP", "", "メニュー", Icon::Menu},
};

struct Layout {
  int width = 0;
  std::vector<int> buttonLeft;
  std::vector<int> separators;
};

// Grip, then pairs of buttons with a separator between the pairs.
Layout DefaultLayout() {
  Layout layout;
  int x = 13;
  for (size_t i = 0; i < std::size(kDefaultButtons); ++i) {
    if (i > 0 && i % 2 == 0) {
      layout.separators.push_back(x + 2);
      x += 6;
    }
    layout.buttonLeft.push_back(x);
    x += kButtonSize + 1;
  }
  layout.width = x + 3;
  return layout;
}

Bitmap DefaultSkinImage(const Layout& layout, State state) {
  using namespace slate;
  const int w = layout.width, h = kDefaultHeight;
  Bitmap image(w, h, kKey);
  const Shape outline = RoundBox(0, 0, w, h, 7);
  const Shape inner = RoundBox(1, 1, w - 1, h - 1, 6);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!Covers(outline, x, y)) continue;
      image.At(x, y) = Covers(inner, x, y) ? Mix(kTop, kBottom, y / double(h - 1)) : kBorder;
    }
  // A one-pixel light edge along the top, inside the border.
  for (int x = 0; x < w; ++x)
    if (Covers(inner, x, 1) && Covers(inner, x, 0 + 2))
      image.At(x, 1) = Mix(image.At(x, 1), kHighlight, 0.8);

  // Grip: two columns of embossed dots.
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 2; ++col) {
      const double cx = 5 + 3 * col, cy = 8 + 3.5 * row;
      Fill(image, Circle(cx + 0.6, cy + 0.6, 0.9), kGripShadow);
      Fill(image, Circle(cx, cy, 0.9), kGrip);
    }
  for (int sx : layout.separators)
    for (int y = 6; y < h - 6; ++y) {
      image.At(sx, y) = kSeparator;
      image.At(sx + 1, y) = Mix(image.At(sx + 1, y), kHighlight, 0.5);
    }

  for (size_t i = 0; i < std::size(kDefaultButtons); ++i) {
    const double bx = layout.buttonLeft[i], by = kButtonTop;
    const Shape face = RoundBox(bx, by, bx + kButtonSize, by + kButtonSize, 4);
    const Shape faceInner = RoundBox(bx + 1, by + 1, bx + kButtonSize - 1, by + kButtonSize - 1, 3);
    Pixel icon = kIcon;
    double iconShift = 0;
    switch (state) {
      case kNormal:
        break;
      case kHover:
        Fill(image, face, kHoverEdge);
        Fill(image, faceInner, [&](int, int y) {
          return Mix(Mix(kHoverFill, kHighlight, 0.35), kHoverFill, (y - by) / kButtonSize);
        });
        icon = Hex(0xFFFFFF);
        break;
      case kDown:
        Fill(image, face, kDownEdge);
        Fill(image, faceInner, kDownFill);
        icon = kDownIcon;
        iconShift = 1;
        break;
      case kUnavailable:
        icon = kIconDim;
        break;
      case kOn:
        Fill(image, face, kOnEdge);
        Fill(image, faceInner, [&](int, int y) {
          return Mix(Mix(kOnFill, kOnEdge, 0.35), kOnFill, (y - by) / kButtonSize);
        });
        icon = kOnIcon;
        break;
      default:
        break;
    }
    DrawIcon(image, kDefaultButtons[i].icon, bx + 3, by + 3 + iconShift, icon);
  }
  return image;
}

// ---- The Branch map skin ------------------------------------------------------------
//
// Five round buttons sitting on a perch branch: leaves that brighten under the
// pointer and ripen to a yellow berry when their command is on. The Map image
// gives each button its own colour.

namespace wood {
const Pixel kBarkLight = Hex(0x9A6A3C), kBarkDark = Hex(0x5E3B1E), kBarkLine = Hex(0x4A2E16);
const Pixel kRim = Hex(0x2C4F27), kLeafCentre = Hex(0x74B865), kLeafEdge = Hex(0x4A8741);
const Pixel kHoverCentre = Hex(0x98D987), kHoverEdge = Hex(0x5FA552);
const Pixel kDownCentre = Hex(0x3E7435), kDownEdge = Hex(0x2D5726);
const Pixel kGreyCentre = Hex(0x9AA597), kGreyEdge = Hex(0x737E70), kGreyRim = Hex(0x505A4E);
const Pixel kBerryCentre = Hex(0xF8D867), kBerryEdge = Hex(0xE0A12C), kBerryRim = Hex(0x8A5A10);
const Pixel kIcon = Hex(0xF6FBF2), kIconOnBerry = Hex(0x4A2E08), kIconGrey = Hex(0xDDE2DA);
const Pixel kLeafVein = Hex(0x3F7A37);
}  // namespace wood

constexpr int kBranchWidth = 170;
constexpr int kBranchHeight = 32;
constexpr double kDiscRadius = 12.5;

const ButtonSpec kBranchButtons[] = {
    {"WINDOWSET", "", "このウインドウに固定", Icon::Pin},
    {"CAPTUREALL", "COPY", "クリップボードへキャプチャ", Icon::Camera},
    {"TITLECLOCK", "", "タイトル時計", Icon::Clock},
    {"SETTING", "", "設定", Icon::Gear},
    {"POPUP", "", "メニュー", Icon::Menu},
};
const char* const kBranchColourWords[] = {"Red", "Green", "Blue", "Yellow", "Cyan"};
const Pixel kBranchMapColours[] = {MakePixel(255, 0, 0), MakePixel(0, 255, 0), MakePixel(0, 0, 255),
                                   MakePixel(255, 255, 0), MakePixel(0, 255, 255)};

double DiscX(size_t i) { return 22.5 + 28.0 * static_cast<double>(i); }
constexpr double kDiscY = 15.5;

Shape BranchBody() {
  // A slightly rising bough with a stub of a twig, and a leaf at its tip.
  return Union({Polygon({{2, 19}, {150, 15}, {163, 14.5}, {163, 21.5}, {150, 22.5}, {2, 25}}),
                Circle(2.5, 22, 3), Stroke(150, 17, 160, 6, 3)});
}

Shape TipLeaf() {
  return [](double x, double y) {
    // An ellipse leaning up and to the right from the twig's end.
    const double cx = 163.5, cy = 6.5, a = 6.0, b = 3.0, angle = -0.6;
    const double dx = x - cx, dy = y - cy;
    const double u = dx * std::cos(angle) + dy * std::sin(angle);
    const double v = -dx * std::sin(angle) + dy * std::cos(angle);
    return (u * u) / (a * a) + (v * v) / (b * b) <= 1.0;
  };
}

Bitmap BranchSkinImage(State state) {
  using namespace wood;
  Bitmap image(kBranchWidth, kBranchHeight, kKey);
  // The outline is decided without blending, so the key colour stays exact.
  std::vector<Shape> parts = {BranchBody(), TipLeaf()};
  for (size_t i = 0; i < std::size(kBranchButtons); ++i)
    parts.push_back(Circle(DiscX(i), kDiscY, kDiscRadius));
  const Shape all = Union(parts);
  const Shape body = BranchBody();
  const Shape leaf = TipLeaf();
  for (int y = 0; y < kBranchHeight; ++y)
    for (int x = 0; x < kBranchWidth; ++x) {
      if (!Covers(all, x, y)) continue;
      image.At(x, y) = Covers(leaf, x, y)   ? kLeafEdge
                       : Covers(body, x, y) ? Mix(kBarkLight, kBarkDark, (y - 13) / 12.0)
                                            : kRim;
    }
  // Bark: a few dark streaks along the bough.
  Fill(image, Stroke(8, 21.6, 40, 20.6, 0.8), Mix(kBarkDark, kBarkLine, 0.5));
  Fill(image, Stroke(60, 19.5, 110, 18.2, 0.8), Mix(kBarkDark, kBarkLine, 0.5));
  Fill(image, Stroke(120, 20.3, 146, 19.5, 0.8), Mix(kBarkDark, kBarkLine, 0.5));
  Fill(image, Moved(TipLeaf(), -0.4, 0.4), Mix(kLeafEdge, kLeafCentre, 0.6));
  Fill(image, Stroke(160, 10, 167, 3.5, 0.7), kLeafVein);

  for (size_t i = 0; i < std::size(kBranchButtons); ++i) {
    const double cx = DiscX(i), cy = kDiscY;
    Pixel centre = kLeafCentre, edge = kLeafEdge, rim = kRim, icon = kIcon;
    double shift = 0;
    switch (state) {
      case kHover:
        centre = kHoverCentre;
        edge = kHoverEdge;
        break;
      case kDown:
        centre = kDownCentre;
        edge = kDownEdge;
        shift = 1;
        break;
      case kUnavailable:
        centre = kGreyCentre;
        edge = kGreyEdge;
        rim = kGreyRim;
        icon = kIconGrey;
        break;
      case kOn:
        centre = kBerryCentre;
        edge = kBerryEdge;
        rim = kBerryRim;
        icon = kIconOnBerry;
        break;
      default:
        break;
    }
    // The rim is the outermost ring, painted without blending into the key.
    for (int y = 0; y < kBranchHeight; ++y)
      for (int x = 0; x < kBranchWidth; ++x)
        if (Covers(Circle(cx, cy, kDiscRadius), x, y)) image.At(x, y) = rim;
    // Light from the upper left.
    Fill(image, Circle(cx, cy, kDiscRadius - 1.2), [&](int x, int y) {
      const double d = std::hypot(x + 0.5 - (cx - 3), y + 0.5 - (cy - 4)) / (kDiscRadius + 4);
      return Mix(centre, edge, std::clamp(d, 0.0, 1.0));
    });
    DrawIcon(image, kBranchButtons[i].icon, cx - 8, cy - 8 + shift, icon);
  }
  return image;
}

Bitmap BranchMap() {
  Bitmap map(kBranchWidth, kBranchHeight, 0);
  for (size_t i = 0; i < std::size(kBranchButtons); ++i)
    for (int y = 0; y < kBranchHeight; ++y)
      for (int x = 0; x < kBranchWidth; ++x)
        if (Covers(Circle(DiscX(i), kDiscY, kDiscRadius), x, y))
          map.At(x, y) = kBranchMapColours[i];
  return map;
}

// ---- Files ------------------------------------------------------------------------

void Write(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "skingen: cannot write %s\n", path.string().c_str());
    std::exit(1);
  }
}

// UTF-8 to Shift-JIS (CP932), CRLF line ends.
std::string ToSjis(const std::string& utf8) {
  std::string crlf;
  for (char c : utf8) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    std::fprintf(stderr, "skingen: no CP932 converter\n");
    std::exit(1);
  }
  std::string out(crlf.size() * 2 + 16, '\0');
  char* in = crlf.data();
  size_t inLeft = crlf.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  if (iconv(cd, &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1)) {
    std::fprintf(stderr, "skingen: text not representable in CP932\n");
    std::exit(1);
  }
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

std::string ButtonSection(size_t index, const ButtonSpec& b) {
  char name[16];
  std::snprintf(name, sizeof name, "[Button%02zu]\n", index + 1);
  std::string s = name;
  s += std::string("Type=") + b.type + "\n";
  if (*b.value) s += std::string("Value=") + b.value + "\n";
  s += "Cursor=HAND\n";
  s += std::string("ToolTip=") + b.tooltip + "\n";
  return s;
}

void WriteDefault(const std::filesystem::path& root) {
  const auto folder = root / "Default";
  std::filesystem::create_directories(folder);
  const Layout layout = DefaultLayout();
  for (int s = 0; s < kStateCount; ++s)
    Write(folder / (std::string(kStateFiles[s]) + ".bmp"),
          tomari::imagebytes::EncodeBmp24(DefaultSkinImage(layout, static_cast<State>(s))));
  std::string tsk =
      "; トマリギ 標準スキン (tools/skingen が生成)\n"
      "[Skin]\n"
      "Name=トマリギ 標準\n"
      "Version=1.4.4\n"
      "Copyright=トマリギ\n"
      "BackColor=#FF00FF\n"
      "Back=Back.bmp\nFloat=Float.bmp\nDown=Down.bmp\nUnavailable=Unavailable.bmp\n"
      "Available=Available.bmp\n";
  for (size_t i = 0; i < std::size(kDefaultButtons); ++i) {
    tsk += "\n" + ButtonSection(i, kDefaultButtons[i]);
    tsk += "Left=" + std::to_string(layout.buttonLeft[i]) + "\nTop=" + std::to_string(kButtonTop) +
           "\nWidth=" + std::to_string(kButtonSize) + "\nHeight=" + std::to_string(kButtonSize) +
           "\n";
  }
  Write(folder / "Default.tsk", ToSjis(tsk));
}

void WriteBranch(const std::filesystem::path& root) {
  const auto folder = root / "Branch";
  std::filesystem::create_directories(folder);
  for (int s = 0; s < kStateCount; ++s)
    Write(folder / (std::string(kStateFiles[s]) + ".png"),
          tomari::imagebytes::EncodePng(BranchSkinImage(static_cast<State>(s))));
  Write(folder / "Map.png", tomari::imagebytes::EncodePng(BranchMap()));
  std::string tsk =
      "; 止まり木の枝: ボタンの形を Map 画像の色で決めるスキン (tools/skingen が生成)\n"
      "[Skin]\n"
      "Name=止まり木の枝\n"
      "Version=1.4.4\n"
      "Copyright=トマリギ\n"
      "BackColor=Magenta\n"
      "Back=Back.png\nMap=Map.png\nFloat=Float.png\nDown=Down.png\nUnavailable=Unavailable.png\n"
      "Available=Available.png\n";
  for (size_t i = 0; i < std::size(kBranchButtons); ++i)
    tsk += "\n" + ButtonSection(i, kBranchButtons[i]) + "Color=" + kBranchColourWords[i] + "\n";
  Write(folder / "Branch.tsk", ToSjis(tsk));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: skingen SKINS_FOLDER\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  WriteDefault(root);
  WriteBranch(root);
  return 0;
}
