#pragma once
// The label pieces of one font: the key names' parts and the numbers,
// rendered at first use and kept by their text until the font changes.

#include <windows.h>

#include <array>
#include <string>
#include <unordered_map>

#include "common/DibSurface.h"
#include "gauges/StripPicture.h"

class LabelPieces {
public:
    explicit LabelPieces(CreateDib createDib = CreateDIBSection) : createDib_(createDib) {}

    // Pieces from now on are in `font`, the label font at `dpi`; true, with
    // every piece dropped, when that is not what they were made in.
    bool useFont(HFONT font, int dpi);
    // Drops every piece: the colours or the font smoothing changed.
    void drop();
    // The font's height: a label takes no more rows than this.
    int textHeight() const { return textHeight_; }

    // `text` as ExtTextOutW renders it in the font over the strip colours;
    // null where it could not be rendered, which is tried again next time.
    const LabelPiece* piece(const std::wstring& text);
    // The number "00%" to "100%"; null for any other percent.
    const LabelPiece* number(int percent);

private:
    bool render(const std::wstring& text, LabelPiece& piece);

    CreateDib createDib_;
    HFONT font_ = nullptr;
    int dpi_ = 0;
    int textHeight_ = 0;
    std::unordered_map<std::wstring, LabelPiece> pieces_;
    std::array<const LabelPiece*, 101> numbers_ = {};
};
