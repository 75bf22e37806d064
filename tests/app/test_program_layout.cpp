// The running program paints its boxes with the layout the user designed:
// the "paintitem" settings of its profile.
#ifdef _WIN32

#include <gtest/gtest.h>

#include "ProgramRun.h"
#include "resources/resource.h"

namespace {

// Pixels of the colour in the window's area of the screen.
int CountScreenPixels(HWND window, COLORREF colour)
{
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    int count = 0;
    for (int y = 0; y < height; y += 2) {
        for (int x = 0; x < width; x += 2)
            count += GetPixel(memory, x, y) == colour ? 1 : 0;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return count;
}

} // namespace

TEST(ProgramLayout, BoxesUseTheDesignedBackground)
{
    const COLORREF magenta = RGB(255, 0, 255);
    CProgramRun run("layout-design");
    std::string catalogue = run.PathOf("films.vdb");
    ASSERT_TRUE(WriteCatalogue(catalogue, 3));
    run.SetInt("paintitem", "bgs", 2);
    run.SetInt("paintitem", "solid_background", 1);
    run.SetBinary("paintitem", "color_normal1", &magenta, sizeof(magenta));
    HWND main = run.StartToMainWindow("\"" + catalogue + "\"");
    ASSERT_NE(main, nullptr);
    HWND pane = GetDlgItem(main, IDW_PANE);
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(WaitFor([&] { return CountScreenPixels(pane, magenta) > 500; }));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.WaitExit());
}

#endif
