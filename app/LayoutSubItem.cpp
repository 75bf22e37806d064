#include "app/LayoutSubItem.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/LayoutIo.h"
#include "core/StrUtil.h"
#include "core/StreamIo.h"

namespace {

const DWORD kFontBlockLength = sizeof(LOGFONTA);
static_assert(sizeof(LOGFONTA) == 60, "the file holds a 60-byte font description");

} // namespace

CLayoutSubItem::CLayoutSubItem()
    : m_text(NULL)
#ifdef _WIN32
    , m_fontHandle(NULL), m_fontFailed(false)
#endif
{
    Reset();
}

CLayoutSubItem::~CLayoutSubItem()
{
    Reset();
}

void CLayoutSubItem::Reset()
{
    free(m_text);
    m_text = NULL;
    m_font.reset();
    DropFontHandle();
    m_kind = 0;
    m_placement = PLACE_ABSOLUTE;
    m_x = m_y = m_width = m_height = 0;
    m_textLength = 0;
    m_hAnchor = -1;
    m_vAnchor = -1;
    m_flags = 0;
    m_marginBox = RECT();
    m_selected = false;
    m_color = 0;
}

void CLayoutSubItem::Set(BYTE kind, BYTE placement, int32_t hAnchor, int32_t vAnchor, int32_t x,
                         int32_t y, int32_t width, int32_t height, DWORD flags, const char* text,
                         DWORD textLength, COLORREF color)
{
    Reset();
    m_kind = kind;
    m_placement = placement;
    m_hAnchor = hAnchor;
    m_vAnchor = vAnchor;
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
    m_flags = flags;
    if (textLength > 0 && text != NULL) {
        StrSet(&m_text, text);
        m_textLength = DWORD(strlen(m_text) + 1);
    }
    m_color = color;
}

bool CLayoutSubItem::Load(FILE* f)
{
    Reset();
    DWORD flags = 0;
    DWORD length = 0;
    if (!ReadLayoutByte(f, &m_kind) || !ReadLayoutByte(f, &m_placement) ||
        !ReadLayoutLong(f, &m_x) || !ReadLayoutLong(f, &m_y) || !ReadLayoutLong(f, &m_width) ||
        !ReadLayoutLong(f, &m_height) || !ReadLayoutDword(f, &flags) ||
        !ReadLayoutDword(f, &length))
        return false;
    m_flags = flags;
    if (m_kind != ITEM_TEXT && m_kind != ITEM_COVER)
        return false;
    if (m_placement != PLACE_ALIGNED && m_placement != PLACE_ABSOLUTE)
        return false;
    if (m_kind == ITEM_TEXT && length == 0)
        return false;
    if (length > 0) {
        // The template ends at its one NUL, the last of its bytes.
        if (length > kMaxTemplateLength)
            return false;
        std::vector<char> text(length);
        if (!ReadBytes(f, text.data(), length))
            return false;
        if (memchr(text.data(), 0, length) != text.data() + length - 1)
            return false;
        StrSet(&m_text, text.data());
        m_textLength = length;
    }
    if (m_flags & ITEM_CUSTOM_FONT) {
        DWORD fontLength = 0;
        if (!ReadLayoutDword(f, &fontLength))
            return false;
        if (fontLength == kFontBlockLength) {
            LOGFONTA font;
            if (!ReadBytes(f, &font, kFontBlockLength))
                return false;
            font.lfFaceName[LF_FACESIZE - 1] = 0;
            SetFont(&font);
        } else if (!SkipLayoutBytes(f, fontLength)) {
            return false;
        }
    }
    if (m_flags & ITEM_CUSTOM_COLOR) {
        BYTE rgb[3];
        if (!ReadBytes(f, rgb, 3))
            return false;
        m_color = RGB(rgb[0], rgb[1], rgb[2]);
    }
    if (m_placement == PLACE_ALIGNED) {
        if (!ReadLayoutLong(f, &m_hAnchor) || !ReadLayoutLong(f, &m_vAnchor))
            return false;
    }
    return true;
}

bool CLayoutSubItem::Save(FILE* f)
{
    m_textLength = m_text != NULL ? DWORD(strlen(m_text) + 1) : 0;
    BYTE kind = m_kind == ITEM_TEMPLATE ? BYTE(ITEM_TEXT) : m_kind;
    if (!WriteU8(f, kind) || !WriteU8(f, m_placement) || !WriteU32(f, DWORD(m_x)) ||
        !WriteU32(f, DWORD(m_y)) || !WriteU32(f, DWORD(m_width)) || !WriteU32(f, DWORD(m_height)) ||
        !WriteU32(f, m_flags) || !WriteU32(f, m_textLength) ||
        !WriteBytes(f, m_text, m_textLength))
        return false;
    if (m_flags & ITEM_CUSTOM_FONT) {
        if (m_font) {
            if (!WriteU32(f, kFontBlockLength) || !WriteBytes(f, m_font.get(), kFontBlockLength))
                return false;
        } else if (!WriteU32(f, 0)) {
            return false;
        }
    }
    if (m_flags & ITEM_CUSTOM_COLOR) {
        BYTE rgb[3] = { GetRValue(m_color), GetGValue(m_color), GetBValue(m_color) };
        if (!WriteBytes(f, rgb, 3))
            return false;
    }
    if (m_placement == PLACE_ALIGNED) {
        if (!WriteU32(f, DWORD(m_hAnchor)) || !WriteU32(f, DWORD(m_vAnchor)))
            return false;
    }
    return true;
}

void CLayoutSubItem::CopyFrom(const CLayoutSubItem& other)
{
    if (&other == this)
        return;
    Set(other.m_kind, other.m_placement, other.m_hAnchor, other.m_vAnchor, other.m_x, other.m_y,
        other.m_width, other.m_height, other.m_flags, other.m_text, other.m_textLength,
        other.m_color);
    m_marginBox = other.m_marginBox;
    m_selected = other.m_selected;
    SetFont(other.GetFont());
}

void CLayoutSubItem::SetFont(const LOGFONTA* font)
{
    DropFontHandle();
    if (font == NULL)
        m_font.reset();
    else
        m_font.reset(new LOGFONTA(*font));
}

void CLayoutSubItem::DropFontHandle()
{
#ifdef _WIN32
    if (m_fontHandle != NULL)
        DeleteObject(m_fontHandle);
    m_fontHandle = NULL;
    m_fontFailed = false;
#endif
}

#ifdef _WIN32
HFONT CLayoutSubItem::GetFontHandle()
{
    if (m_fontHandle == NULL && m_font && !m_fontFailed) {
        m_fontHandle = CreateFontIndirectA(m_font.get());
        m_fontFailed = m_fontHandle == NULL;
    }
    return m_fontHandle;
}
#endif
