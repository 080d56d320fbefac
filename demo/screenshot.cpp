#include "demo/screenshot.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness/desktop.h"

namespace {

bool WriteBmp(const char* bmpPath, LONG width, LONG height, const std::vector<BYTE>& rows) {
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as GetDIBits gives it
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(rows.size());
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + info.biSizeImage;

  FILE* out = fopen(bmpPath, "wb");
  if (out == nullptr) {
    return false;
  }
  bool ok = fwrite(&file, sizeof(file), 1, out) == 1 && fwrite(&info, sizeof(info), 1, out) == 1 &&
            fwrite(rows.data(), 1, rows.size(), out) == rows.size();
  if (fclose(out) != 0) {
    ok = false;
  }
  return ok;
}

}  // namespace

bool SaveScreenRect(const RECT& rect, const char* bmpPath) {
  const LONG width = rect.right - rect.left;
  const LONG height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) {
    return false;
  }
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) {
    return false;
  }
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  bool ok = memory != nullptr && bitmap != nullptr;
  std::vector<BYTE> rows;
  if (ok) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
    SelectObject(memory, old);
  }
  if (ok) {
    const LONG stride = ((width * 3) + 3) & ~3L;
    rows.resize(static_cast<size_t>(stride) * static_cast<size_t>(height));
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    ok = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), rows.data(), &format,
                   DIB_RGB_COLORS) == height;
  }
  if (bitmap != nullptr) {
    DeleteObject(bitmap);
  }
  if (memory != nullptr) {
    DeleteDC(memory);
  }
  ReleaseDC(nullptr, screen);
  return ok && WriteBmp(bmpPath, width, height, rows);
}

bool SaveScreenshot(HWND window, const char* bmpPath) {
  RECT rect;
  if (window == nullptr || !GetWindowRect(window, &rect)) {
    return false;
  }
  return SaveScreenRect(rect, bmpPath);
}

namespace {

// The BMP path for `name` in E2E_SCREENSHOT_DIR, or empty without the variable.
std::string AskedPath(const char* name) {
  const char* dir = getenv("E2E_SCREENSHOT_DIR");
  if (dir == nullptr || dir[0] == '\0') {
    return std::string();
  }
  return WindowsPath(dir) + "\\" + name + ".bmp";
}

bool Report(bool saved, const std::string& path) {
  if (saved) {
    printf("screenshot saved: %s\n", path.c_str());
  } else {
    printf("screenshot NOT saved: %s\n", path.c_str());
  }
  fflush(stdout);
  return saved;
}

}  // namespace

bool SaveScreenshotIfAsked(HWND window, const char* name) {
  const std::string path = AskedPath(name);
  return path.empty() || Report(SaveScreenshot(window, path.c_str()), path);
}

bool SaveScreenRectIfAsked(const RECT& rect, const char* name) {
  const std::string path = AskedPath(name);
  return path.empty() || Report(SaveScreenRect(rect, path.c_str()), path);
}
