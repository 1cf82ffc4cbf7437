// Checks the compiled resources that plix.rc puts into this test executable,
// the same ones plix.exe carries: strings, accelerators, icon groups, both
// dialog templates, version information and the manifest. Templates, icon
// groups and version information are parsed from their raw bytes, so a
// resource compiler that adds a default style or drops a field shows up here.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"

namespace {

constexpr DWORD kUnaddressedId = 0xFFFFFFFF;
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr COLORREF kBackgroundColour = RGB(255, 255, 128);
constexpr COLORREF kBarColour = RGB(20, 200, 40);
constexpr int kIconImageCount = 8;

// project()'s version in CMakeLists.txt, "0.2" while it says 0.2.
#define WIDE_TEXT(text) WIDE_TEXT_(text)
#define WIDE_TEXT_(text) L##text
const wchar_t kProjectVersion[] = WIDE_TEXT(PLIX_PROJECT_VERSION);

HMODULE thisModule()
{
    return GetModuleHandleW(nullptr);
}

std::vector<BYTE> resourceBytes(const wchar_t* type, WORD id)
{
    HRSRC info = FindResourceW(thisModule(), MAKEINTRESOURCEW(id), type);
    if (info == nullptr)
        return {};
    HGLOBAL handle = LoadResource(thisModule(), info);
    const auto* data = static_cast<const BYTE*>(LockResource(handle));
    if (data == nullptr)
        return {};
    return std::vector<BYTE>(data, data + SizeofResource(thisModule(), info));
}

// A name-or-ordinal field of a dialog template: empty, an ordinal after
// 0xFFFF, or a terminated wide string.
struct NameOrOrdinal {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::wstring name;
};

// Reads little-endian fields in order; reading past the end yields zeros and
// sets overran(), which every parse below checks.
class ByteReader {
public:
    explicit ByteReader(const std::vector<BYTE>& bytes, size_t begin = 0, size_t end = SIZE_MAX)
        : bytes_(bytes), offset_(begin), end_(std::min(end, bytes.size())) {}

    BYTE byte() { return read<BYTE>(); }
    WORD word() { return read<WORD>(); }
    short signedWord() { return read<short>(); }
    DWORD dword() { return read<DWORD>(); }

    std::wstring string()
    {
        std::wstring text;
        for (WCHAR c = word(); c != 0 && !overran_; c = word())
            text.push_back(c);
        return text;
    }

    NameOrOrdinal nameOrOrdinal()
    {
        NameOrOrdinal field;
        WORD first = word();
        if (first == 0xFFFF) {
            field.isOrdinal = true;
            field.ordinal = word();
        } else if (first != 0) {
            field.name = std::wstring(1, static_cast<wchar_t>(first)) + string();
        }
        return field;
    }

    void alignToDword() { skip((4 - offset_ % 4) % 4); }

    void skip(size_t count)
    {
        if (count > end_ - offset_) {
            overran_ = true;
            offset_ = end_;
        } else {
            offset_ += count;
        }
    }

    size_t offset() const { return offset_; }
    bool overran() const { return overran_; }

private:
    template <typename T>
    T read()
    {
        T value{};
        if (sizeof(T) > end_ - offset_) {
            overran_ = true;
            offset_ = end_;
            return value;
        }
        std::memcpy(&value, bytes_.data() + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }

    const std::vector<BYTE>& bytes_;
    size_t offset_;
    size_t end_;
    bool overran_ = false;
};

// ---- Dialog templates (DLGTEMPLATEEX and DLGITEMTEMPLATEEX) ----

struct DialogControl {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
    WORD creationDataSize = 0;
};

struct DialogTemplate {
    WORD version = 0;
    WORD signature = 0;
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::wstring caption;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::wstring face;
    std::vector<DialogControl> controls;
    bool complete = false;
};

DialogTemplate parseDialog(const std::vector<BYTE>& bytes)
{
    DialogTemplate dialog;
    ByteReader in(bytes);
    dialog.version = in.word();
    dialog.signature = in.word();
    dialog.helpId = in.dword();
    dialog.exStyle = in.dword();
    dialog.style = in.dword();
    WORD count = in.word();
    dialog.x = in.signedWord();
    dialog.y = in.signedWord();
    dialog.cx = in.signedWord();
    dialog.cy = in.signedWord();
    dialog.menu = in.nameOrOrdinal();
    dialog.windowClass = in.nameOrOrdinal();
    dialog.caption = in.string();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.pointSize = in.word();
        dialog.weight = in.word();
        dialog.italic = in.byte();
        dialog.charset = in.byte();
        dialog.face = in.string();
    }
    for (WORD i = 0; i < count; ++i) {
        in.alignToDword();
        DialogControl control;
        control.helpId = in.dword();
        control.exStyle = in.dword();
        control.style = in.dword();
        control.x = in.signedWord();
        control.y = in.signedWord();
        control.cx = in.signedWord();
        control.cy = in.signedWord();
        control.id = in.dword();
        control.windowClass = in.nameOrOrdinal();
        control.text = in.nameOrOrdinal();
        control.creationDataSize = in.word();
        in.skip(control.creationDataSize);
        dialog.controls.push_back(control);
    }
    dialog.complete = !in.overran();
    return dialog;
}

// The dialog manager accepts a predefined class as an atom or by name, in
// any case; MSVC's rc writes the atom, windres the name.
std::wstring className(const NameOrOrdinal& windowClass)
{
    if (windowClass.isOrdinal) {
        switch (windowClass.ordinal) {
        case kButtonAtom: return L"BUTTON";
        case kEditAtom: return L"EDIT";
        case kStaticAtom: return L"STATIC";
        default: return L"#" + std::to_wstring(windowClass.ordinal);
        }
    }
    std::wstring upper = windowClass.name;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(c));
    return upper;
}

struct ExpectedControl {
    const wchar_t* className;
    DWORD id;
    short x, y, cx, cy;
    DWORD style;
    const wchar_t* text;  // nullptr: free text, any non-empty line
    WORD iconId;          // non-zero: the text is this icon's ordinal
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

const ExpectedControl kAboutControls[] = {
    {L"STATIC", 2, 14, 9, 20, 20, kChild | SS_ICON, nullptr, IDI_PLIX},
    {L"STATIC", kUnaddressedId, 48, 12, 119, 8, kChild | SS_LEFT | SS_NOPREFIX | WS_GROUP,
     L"plix Version " WIDE_TEXT(PLIX_PROJECT_VERSION), 0},
    {L"STATIC", kUnaddressedId, 48, 24, 119, 8, kChild | SS_LEFT | WS_GROUP, nullptr, 0},
    {L"BUTTON", IDOK, 195, 6, 30, 11, kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, L"OK", 0},
    {L"STATIC", kUnaddressedId, 48, 36, 59, 8, kChild | SS_LEFT | WS_GROUP, nullptr, 0},
};

const ExpectedControl kConfigControls[] = {
    {L"BUTTON", IDOK, 129, 7, 50, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, L"OK", 0},
    {L"BUTTON", IDCANCEL, 129, 24, 50, 14, kChild | BS_PUSHBUTTON | WS_TABSTOP, L"Cancel", 0},
    {L"STATIC", kUnaddressedId, 7, 7, 97, 8, kChild | SS_LEFT | WS_GROUP,
     L"Polling Frequency (times/sec):", 0},
    {L"EDIT", IDC_FREQUENCY, 7, 17, 40, 14,
     kChild | WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, L"", 0},
    {L"STATIC", IDC_RANGE_MESSAGE, 7, 41, 100, 22, kChild | SS_LEFT | WS_GROUP, L"", 0},
};

template <size_t N>
void expectControls(const DialogTemplate& dialog, const ExpectedControl (&expected)[N])
{
    ASSERT_EQ(dialog.controls.size(), N);
    for (size_t i = 0; i < N; ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        const DialogControl& actual = dialog.controls[i];
        const ExpectedControl& want = expected[i];
        EXPECT_EQ(className(actual.windowClass), want.className);
        EXPECT_EQ(actual.id, want.id);
        EXPECT_EQ(actual.x, want.x);
        EXPECT_EQ(actual.y, want.y);
        EXPECT_EQ(actual.cx, want.cx);
        EXPECT_EQ(actual.cy, want.cy);
        EXPECT_EQ(actual.style, want.style) << std::hex << "0x" << actual.style;
        EXPECT_EQ(actual.exStyle, 0u);
        EXPECT_EQ(actual.helpId, 0u);
        EXPECT_EQ(actual.creationDataSize, 0);
        if (want.iconId != 0) {
            EXPECT_TRUE(actual.text.isOrdinal);
            EXPECT_EQ(actual.text.ordinal, want.iconId);
        } else {
            EXPECT_FALSE(actual.text.isOrdinal);
            if (want.text != nullptr)
                EXPECT_EQ(actual.text.name, want.text);
            else
                EXPECT_FALSE(actual.text.name.empty());
        }
    }
}

// Width in pixels of one line of text in a dialog's font, and the width in
// pixels of cx dialog units, both found the way the dialog manager does:
// the font at the template's point size for the screen's resolution, and
// the horizontal base unit as the mean width of the 52 Latin letters.
struct DialogTextMeasure {
    int textWidth = 0;
    int boxWidth = 0;
};

DialogTextMeasure measureDialogText(const DialogTemplate& dialog, const std::wstring& text,
                                    int cx)
{
    DialogTextMeasure measure;
    HDC dc = CreateCompatibleDC(nullptr);
    int pixelHeight = MulDiv(dialog.pointSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
    HFONT font = CreateFontW(-pixelHeight, 0, 0, 0, dialog.weight, dialog.italic, FALSE, FALSE,
                             dialog.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, FF_DONTCARE, dialog.face.c_str());
    HGDIOBJ oldFont = SelectObject(dc, font);

    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE letters{};
    GetTextExtentPoint32W(dc, kLetters, 52, &letters);
    int baseUnitX = (letters.cx / 26 + 1) / 2;
    SIZE line{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &line);

    SelectObject(dc, oldFont);
    DeleteObject(font);
    DeleteDC(dc);
    measure.textWidth = line.cx;
    measure.boxWidth = MulDiv(cx, baseUnitX, 4);
    return measure;
}

// ---- Icon groups (GRPICONDIR) ----

struct IconGroupEntry {
    BYTE width = 0;
    BYTE height = 0;
    BYTE colourCount = 0;
    WORD planes = 0;
    WORD bitCount = 0;
    DWORD bytesInResource = 0;
    WORD iconId = 0;
};

struct IconGroup {
    WORD reserved = 0xFFFF;
    WORD type = 0;
    std::vector<IconGroupEntry> entries;
    bool complete = false;
};

IconGroup parseIconGroup(const std::vector<BYTE>& bytes)
{
    IconGroup group;
    ByteReader in(bytes);
    group.reserved = in.word();
    group.type = in.word();
    WORD count = in.word();
    for (WORD i = 0; i < count; ++i) {
        IconGroupEntry entry;
        entry.width = in.byte();
        entry.height = in.byte();
        entry.colourCount = in.byte();
        in.byte();
        entry.planes = in.word();
        entry.bitCount = in.word();
        entry.bytesInResource = in.dword();
        entry.iconId = in.word();
        group.entries.push_back(entry);
    }
    group.complete = !in.overran() && in.offset() == bytes.size();
    return group;
}

std::set<std::pair<int, int>> expectedIconImages()
{
    return {{16, 4}, {32, 4}, {16, 8}, {32, 8}, {48, 8}, {16, 32}, {32, 32}, {48, 32}};
}

void expectEightGaugeImages(WORD groupId)
{
    IconGroup group = parseIconGroup(resourceBytes(RT_GROUP_ICON, groupId));
    ASSERT_TRUE(group.complete);
    EXPECT_EQ(group.reserved, 0);
    EXPECT_EQ(group.type, 1);
    ASSERT_EQ(group.entries.size(), static_cast<size_t>(kIconImageCount));

    std::set<std::pair<int, int>> images;
    for (const IconGroupEntry& entry : group.entries) {
        SCOPED_TRACE("icon " + std::to_string(entry.iconId));
        EXPECT_EQ(entry.width, entry.height);
        EXPECT_EQ(entry.planes, 1);
        EXPECT_EQ(entry.colourCount, entry.bitCount == 4 ? 16 : 0);
        images.insert({entry.width, entry.bitCount});

        std::vector<BYTE> image = resourceBytes(RT_ICON, entry.iconId);
        ASSERT_EQ(image.size(), entry.bytesInResource);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header;
        std::memcpy(&header, image.data(), sizeof header);
        EXPECT_EQ(header.biWidth, entry.width);
        EXPECT_EQ(header.biHeight, 2 * entry.width);  // colour image and AND mask
        EXPECT_EQ(header.biBitCount, entry.bitCount);
        EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));

        HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE,
                                              0x00030000, entry.width, entry.height, 0);
        EXPECT_NE(icon, nullptr);
        if (icon != nullptr)
            DestroyIcon(icon);
    }
    EXPECT_EQ(images, expectedIconImages());
}

// Counts the opaque pixels of one colour in a 32-bit icon image, read from
// its BGRA rows.
int countOpaquePixels(const std::vector<BYTE>& image, COLORREF colour)
{
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data(), sizeof header);
    size_t pixels = static_cast<size_t>(header.biWidth) * header.biWidth;
    if (header.biBitCount != 32 || image.size() < header.biSize + 4 * pixels)
        return -1;
    int count = 0;
    for (size_t i = 0; i < pixels; ++i) {
        const BYTE* p = image.data() + header.biSize + 4 * i;
        if (p[3] == 255 && RGB(p[2], p[1], p[0]) == colour)
            ++count;
    }
    return count;
}

int countTransparentPixels(const std::vector<BYTE>& image)
{
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data(), sizeof header);
    size_t pixels = static_cast<size_t>(header.biWidth) * header.biWidth;
    int count = 0;
    for (size_t i = 0; i < pixels; ++i) {
        if (image[header.biSize + 4 * i + 3] == 0)
            ++count;
    }
    return count;
}

// ---- Version information (VS_VERSIONINFO) ----

struct VersionBlock {
    std::wstring key;
    WORD type = 0;
    size_t valueOffset = 0;
    size_t valueLength = 0;  // in bytes
    std::vector<VersionBlock> children;
};

// Parses one block and its children; every block starts on a 32-bit boundary
// with its length, value length and type, then its key.
bool parseVersionBlock(const std::vector<BYTE>& bytes, size_t begin, VersionBlock& block)
{
    ByteReader head(bytes, begin);
    WORD length = head.word();
    WORD valueLength = head.word();
    block.type = head.word();
    block.key = head.string();
    head.alignToDword();
    size_t end = begin + length;
    if (head.overran() || length < 6 || end > bytes.size())
        return false;
    block.valueOffset = head.offset();
    block.valueLength = block.type == 1 ? valueLength * sizeof(WCHAR) : valueLength;
    size_t next = block.valueOffset + block.valueLength;
    next += (4 - next % 4) % 4;
    while (next < end) {
        VersionBlock child;
        if (!parseVersionBlock(bytes, next, child))
            return false;
        ByteReader childHead(bytes, next);
        next += childHead.word();
        next += (4 - next % 4) % 4;
        block.children.push_back(child);
    }
    return true;
}

const VersionBlock* childNamed(const VersionBlock& block, const std::wstring& key)
{
    for (const VersionBlock& child : block.children) {
        if (child.key == key)
            return &child;
    }
    return nullptr;
}

std::wstring versionString(const std::vector<BYTE>& bytes, const VersionBlock& root,
                           const std::wstring& key)
{
    const VersionBlock* strings = childNamed(root, L"StringFileInfo");
    const VersionBlock* table = strings ? childNamed(*strings, L"040904b0") : nullptr;
    const VersionBlock* value = table ? childNamed(*table, key) : nullptr;
    if (value == nullptr)
        return L"<missing>";
    ByteReader in(bytes, value->valueOffset, value->valueOffset + value->valueLength);
    return in.string();
}

} // namespace

TEST(ResourceStrings, TitleAndClassNameLoad)
{
    wchar_t text[100] = {};
    EXPECT_EQ(LoadStringW(thisModule(), IDS_APP_TITLE, text, 100), 4);
    EXPECT_STREQ(text, L"plix");
    EXPECT_EQ(LoadStringW(thisModule(), IDS_WINDOW_CLASS, text, 100), 4);
    EXPECT_STREQ(text, L"PLIX");
}

TEST(ResourceAccelerators, RawTableHoldsAltQuestionMarkAndAltSlashAsCharacters)
{
    std::vector<BYTE> bytes = resourceBytes(RT_ACCELERATOR, IDA_PLIX);
    ASSERT_EQ(bytes.size(), 16u);  // two 8-byte entries
    ByteReader in(bytes);
    const WORD expectedKeys[] = {L'?', L'/'};
    for (int i = 0; i < 2; ++i) {
        WORD flags = in.word();
        WORD key = in.word();
        WORD command = in.word();
        in.word();
        // 0x80 marks the table's last entry; it is no modifier.
        EXPECT_EQ(flags & ~0x80, FALT) << "entry " << i;
        EXPECT_EQ(key, expectedKeys[i]);
        EXPECT_EQ(command, IDM_ABOUT_KEY);
    }
    EXPECT_EQ(bytes[0] & 0x80, 0);
    EXPECT_EQ(bytes[8] & 0x80, 0x80);
}

TEST(ResourceAccelerators, LoadedTableHoldsBothCharactersForTheAboutKeyCommand)
{
    HACCEL table = LoadAcceleratorsW(thisModule(), MAKEINTRESOURCEW(IDA_PLIX));
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(CopyAcceleratorTableW(table, nullptr, 0), 2);
    ACCEL entries[2] = {};
    ASSERT_EQ(CopyAcceleratorTableW(table, entries, 2), 2);
    EXPECT_EQ(entries[0].fVirt & ~0x80, FALT);
    EXPECT_EQ(entries[0].key, 0x3F);
    EXPECT_EQ(entries[0].cmd, IDM_ABOUT_KEY);
    EXPECT_EQ(entries[1].fVirt & ~0x80, FALT);
    EXPECT_EQ(entries[1].key, 0x2F);
    EXPECT_EQ(entries[1].cmd, IDM_ABOUT_KEY);
    EXPECT_EQ(entries[0].fVirt & FVIRTKEY, 0);
    DestroyAcceleratorTable(table);
}

TEST(ResourceIcons, ClassIconHoldsTheEightSizesAndDepths)
{
    expectEightGaugeImages(IDI_PLIX);
}

TEST(ResourceIcons, SmallClassIconHoldsTheEightSizesAndDepths)
{
    expectEightGaugeImages(IDI_PLIX_SMALL);
}

TEST(ResourceIcons, TrueColourImagesShowYellowStripGreenBarsAndTransparentCorners)
{
    for (WORD groupId : {static_cast<WORD>(IDI_PLIX), static_cast<WORD>(IDI_PLIX_SMALL)}) {
        IconGroup group = parseIconGroup(resourceBytes(RT_GROUP_ICON, groupId));
        int checked = 0;
        for (const IconGroupEntry& entry : group.entries) {
            if (entry.bitCount != 32)
                continue;
            SCOPED_TRACE("group " + std::to_string(groupId) + ", size " +
                         std::to_string(entry.width));
            std::vector<BYTE> image = resourceBytes(RT_ICON, entry.iconId);
            EXPECT_GT(countOpaquePixels(image, kBackgroundColour), 0);
            EXPECT_GT(countOpaquePixels(image, kBarColour), 0);
            EXPECT_GT(countTransparentPixels(image), 0);
            ++checked;
        }
        EXPECT_EQ(checked, 3);
    }
}

TEST(ResourceIcons, LoadIconFindsBothClassIcons)
{
    HICON icon = LoadIconW(thisModule(), MAKEINTRESOURCEW(IDI_PLIX));
    HICON small = LoadIconW(thisModule(), MAKEINTRESOURCEW(IDI_PLIX_SMALL));
    EXPECT_NE(icon, nullptr);
    EXPECT_NE(small, nullptr);
}

TEST(ResourceDialogs, AboutTemplateHasExactlyTheListedStylesAndFont)
{
    DialogTemplate about = parseDialog(resourceBytes(RT_DIALOG, IDD_ABOUT));
    ASSERT_TRUE(about.complete);
    EXPECT_EQ(about.version, 1);
    EXPECT_EQ(about.signature, 0xFFFF);
    EXPECT_EQ(about.helpId, 0u);
    EXPECT_EQ(about.style,
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT))
        << std::hex << "0x" << about.style;
    EXPECT_EQ(about.exStyle, 0u);
    EXPECT_EQ(about.x, 22);
    EXPECT_EQ(about.y, 17);
    EXPECT_EQ(about.cx, 230);
    EXPECT_EQ(about.cy, 75);
    EXPECT_FALSE(about.menu.isOrdinal || !about.menu.name.empty());
    EXPECT_FALSE(about.windowClass.isOrdinal || !about.windowClass.name.empty());
    EXPECT_EQ(about.caption, L"About");
    EXPECT_EQ(about.pointSize, 8);
    EXPECT_EQ(about.weight, 0);
    EXPECT_EQ(about.italic, 0);
    EXPECT_EQ(about.charset, 0);
    EXPECT_EQ(about.face, L"System");
}

TEST(ResourceDialogs, AboutControlsComeInTabOrderWithExactStyles)
{
    DialogTemplate about = parseDialog(resourceBytes(RT_DIALOG, IDD_ABOUT));
    ASSERT_TRUE(about.complete);
    expectControls(about, kAboutControls);
}

TEST(ResourceDialogs, AboutTextLinesFitOnOneLineOfTheirBoxes)
{
    DialogTemplate about = parseDialog(resourceBytes(RT_DIALOG, IDD_ABOUT));
    ASSERT_TRUE(about.complete);
    ASSERT_EQ(about.controls.size(), 5u);
    for (size_t i : {1u, 2u, 4u}) {
        const DialogControl& line = about.controls[i];
        DialogTextMeasure measure = measureDialogText(about, line.text.name, line.cx);
        EXPECT_GT(measure.textWidth, 0);
        EXPECT_LE(measure.textWidth, measure.boxWidth)
            << "\"" << std::string(line.text.name.begin(), line.text.name.end()) << "\"";
    }
}

TEST(ResourceDialogs, ConfigTemplateUsesTheShellFontWithExactStyles)
{
    DialogTemplate config = parseDialog(resourceBytes(RT_DIALOG, IDD_CONFIG));
    ASSERT_TRUE(config.complete);
    EXPECT_EQ(config.version, 1);
    EXPECT_EQ(config.signature, 0xFFFF);
    EXPECT_EQ(config.helpId, 0u);
    EXPECT_EQ(config.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU |
                                               DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS))
        << std::hex << "0x" << config.style;
    EXPECT_EQ(config.style & DS_SHELLFONT, static_cast<DWORD>(DS_SHELLFONT));
    EXPECT_EQ(config.exStyle, 0u);
    EXPECT_EQ(config.x, 0);
    EXPECT_EQ(config.y, 0);
    EXPECT_EQ(config.cx, 186);
    EXPECT_EQ(config.cy, 95);
    EXPECT_FALSE(config.menu.isOrdinal || !config.menu.name.empty());
    EXPECT_FALSE(config.windowClass.isOrdinal || !config.windowClass.name.empty());
    EXPECT_EQ(config.caption, L"Dialog");
    EXPECT_EQ(config.pointSize, 8);
    EXPECT_EQ(config.weight, 400);
    EXPECT_EQ(config.italic, 0);
    EXPECT_EQ(config.charset, 1);
    EXPECT_EQ(config.face, L"MS Shell Dlg");
}

TEST(ResourceDialogs, ConfigControlsComeInTabOrderWithExactStyles)
{
    DialogTemplate config = parseDialog(resourceBytes(RT_DIALOG, IDD_CONFIG));
    ASSERT_TRUE(config.complete);
    expectControls(config, kConfigControls);
}

TEST(ResourceVersion, FixedInfoStringsAndManifestCarryTheProjectVersion)
{
    WORD part[4] = {};
    ASSERT_GE(std::swscanf(kProjectVersion, L"%hu.%hu.%hu.%hu", &part[0], &part[1], &part[2],
                           &part[3]), 2);
    std::wstring quad = std::to_wstring(part[0]) + L"." + std::to_wstring(part[1]) + L"." +
                        std::to_wstring(part[2]) + L"." + std::to_wstring(part[3]);
    std::vector<BYTE> bytes = resourceBytes(RT_VERSION, VS_VERSION_INFO);
    VersionBlock root;
    ASSERT_TRUE(parseVersionBlock(bytes, 0, root));
    EXPECT_EQ(root.key, L"VS_VERSION_INFO");
    ASSERT_EQ(root.valueLength, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, bytes.data() + root.valueOffset, sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(part[1], part[0]);
    const DWORD low = MAKELONG(part[3], part[2]);
    EXPECT_EQ(fixed.dwFileVersionMS, high);
    EXPECT_EQ(fixed.dwFileVersionLS, low);
    EXPECT_EQ(fixed.dwProductVersionMS, high);
    EXPECT_EQ(fixed.dwProductVersionLS, low);
    EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(versionString(bytes, root, L"FileVersion"), quad);
    EXPECT_EQ(versionString(bytes, root, L"ProductVersion"), quad);
    std::vector<BYTE> manifest = resourceBytes(RT_MANIFEST, 1);
    std::string identity = "name=\"plix\" version=\"" + std::string(quad.begin(), quad.end()) + "\"";
    EXPECT_NE(std::string(manifest.begin(), manifest.end()).find(identity), std::string::npos) << identity;
}

TEST(ResourceVersion, StringsNameTheProgramAndNoCompany)
{
    std::vector<BYTE> bytes = resourceBytes(RT_VERSION, VS_VERSION_INFO);
    VersionBlock root;
    ASSERT_TRUE(parseVersionBlock(bytes, 0, root));
    EXPECT_EQ(versionString(bytes, root, L"FileDescription"), L"plix");
    EXPECT_EQ(versionString(bytes, root, L"ProductName"), L"plix");
    EXPECT_EQ(versionString(bytes, root, L"InternalName"), L"plix");
    EXPECT_EQ(versionString(bytes, root, L"OriginalFilename"), L"plix.exe");
    EXPECT_EQ(versionString(bytes, root, L"CompanyName"), L"<missing>");
    EXPECT_EQ(versionString(bytes, root, L"LegalCopyright"), L"<missing>");
}

TEST(ResourceVersion, TranslationMatchesTheStringTable)
{
    std::vector<BYTE> bytes = resourceBytes(RT_VERSION, VS_VERSION_INFO);
    VersionBlock root;
    ASSERT_TRUE(parseVersionBlock(bytes, 0, root));
    const VersionBlock* variables = childNamed(root, L"VarFileInfo");
    ASSERT_NE(variables, nullptr);
    const VersionBlock* translation = childNamed(*variables, L"Translation");
    ASSERT_NE(translation, nullptr);
    ASSERT_EQ(translation->valueLength, 4u);
    ByteReader in(bytes, translation->valueOffset);
    EXPECT_EQ(in.word(), 0x0409);
    EXPECT_EQ(in.word(), 1200);
}

TEST(ResourceManifest, AsksForCommonControlsSixAndPerMonitorDpiAwareness)
{
    std::vector<BYTE> bytes = resourceBytes(RT_MANIFEST, 1);
    ASSERT_FALSE(bytes.empty());
    std::string manifest(bytes.begin(), bytes.end());
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);
    EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"),
              std::string::npos);
    EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                            "PerMonitorV2, PerMonitor</dpiAwareness>"),
              std::string::npos);
}
