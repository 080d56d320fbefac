// The steps that measure a window: its client area at 96 DPI and as its font grows, the controls
// within it, the label's text within the label; and the font they were measured in.
#include <windows.h>

#include <cstdlib>

#include "harness/desktop.h"
#include "harness/tacetto_view.h"
#include "tests/e2e/scenario.h"

namespace {

// Each program's client area at 96 DPI, as measured when the rows were written.
SIZE ClientAt96(const std::string& program) {
  return program == "tastrel" ? SIZE{350, 255} : SIZE{444, 38};
}

// Runs `use` on a memory device context holding the font `face`, `height` pixels, `charset`.
template <typename Use>
void WithFont(const char* face, int height, BYTE charset, Use use) {
  HFONT font =
      CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, 0, 0, 0, 0, face);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  use(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(font);
}

// The face wine draws the font of `dc` with.
std::string FaceOf(HDC dc) {
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof face, face);
  return face;
}

// The tools' font, "MS Sans Serif" 8 points, at `dpi`: the extent of `text` in it, the face wine
// draws it with, and its dialog base units (what a dialog unit is in pixels, times 4 across and
// 8 down), as Windows takes them from the font: half the average width of the letters, rounded
// up, and the height of a line.
struct FontFigures {
  SIZE extent, units;
  std::string face;
};
FontFigures MeasureFont(const std::string& text, int dpi) {
  FontFigures figures = {};
  // As a dialog makes its font from the template: the height in pixels at the screen's DPI.
  WithFont("MS Sans Serif", -MulDiv(8, dpi, 72), ANSI_CHARSET, [&](HDC dc) {
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &figures.extent);
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE letters = {};
    GetTextExtentPoint32A(dc, kLetters, 52, &letters);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    figures.units = {(letters.cx / 26 + 1) / 2, metrics.tmHeight};
    figures.face = FaceOf(dc);
  });
  return figures;
}

}  // namespace

std::string WrongFont() {
  const FontFigures font = MeasureFont(kTacettoGreeting, 96);
  std::string caption;  // wine draws the caption buttons with the glyphs of "Marlett"
  WithFont("Marlett", -11, SYMBOL_CHARSET, [&](HDC dc) { caption = FaceOf(dc); });
  char line[640];
  snprintf(line, sizeof line,
           "font: wine draws \"MS Sans Serif\" 8 pt with %s (the greeting %ld x %ld px) and the "
           "caption buttons' \"Marlett\" with %s; the rows' window sizes were taken with "
           "Liberation Sans (219 x 12 px; another version: measure them anew), and the pictures "
           "show letters for the buttons without Marlett. bash scripts/setup.sh installs "
           "fonts-liberation and fonts-wine; scripts/wine_env.sh copies the package's "
           "marlett.ttf into the prefix\n",
           font.face.c_str(), font.extent.cx, font.extent.cy, caption.c_str());
  const bool measured = font.face == "Liberation Sans" && font.extent.cx == 219 &&
                        font.extent.cy == 12 && caption == "Marlett";
  return measured ? "" : line;
}

void Scenario::SizeStep(const std::string& verb, const std::string& arg, const std::string& line) {
  if (verb == "client") {  // client [E]
    RECT client = {};
    GetClientRect(window, &client);
    const SIZE at96 = ClientAt96(row.program);
    // The 96-DPI area grown with the font's dialog units; the title bar and the frame grow with
    // the DPI, not with the font, and take from the client area: hence the pixels allowed.
    const SIZE from = MeasureFont("", 96).units, to = MeasureFont("", dpi).units;
    const long width = MulDiv(at96.cx, to.cx, from.cx);
    const long height = MulDiv(at96.cy, to.cy, from.cy);
    const long edge = 2 * atol(arg.c_str());
    const std::string wanted = std::to_string(width) + " " + std::to_string(height);
    char how[96];
    snprintf(how, sizeof how, " (%ld %ld at 96 DPI, dialog units %ld x %ld there, %ld x %ld here)",
             at96.cx, at96.cy, from.cx, from.cy, to.cx, to.cy);
    Check(line + how, wanted,
          labs(client.right - width) <= edge && labs(client.bottom - height) <= edge
              ? wanted
              : std::to_string(client.right) + " " + std::to_string(client.bottom));
  } else if (verb == "inside") {  // inside ID...: these controls lie within the client area
    RECT client = {};
    GetClientRect(window, &client);
    std::string found;
    for (const std::string& id : Split(arg, ' ')) {
      RECT item = {};
      GetWindowRect(GetDlgItem(window, atoi(id.c_str())), &item);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&item), 2);
      const bool inside = item.left >= 0 && item.top >= 0 && item.right <= client.right &&
                          item.bottom <= client.bottom && item.right > item.left;
      found += inside ? (found.empty() ? "" : " ") + id : "";
    }
    Check(line, arg, found);
  } else if (verb == "fits") {  // the label's text within the label, in the label's font
    HWND label = GetDlgItem(window, kTacettoLabelId);
    const std::string text = WindowText(label);
    RECT area = {};
    GetClientRect(label, &area);
    const SIZE extent = MeasureFont(text, dpi).extent;
    const std::string room = std::to_string(area.right) + " x " + std::to_string(area.bottom);
    Check(line + " \"" + text + "\"", "at most " + room,
          extent.cx <= area.right && extent.cy <= area.bottom
              ? "at most " + room
              : std::to_string(extent.cx) + " x " + std::to_string(extent.cy));
  }
}
