#include "app/DialogFont.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace {

std::wstring ChosenFace, TemplateFace;
// The templates made again with the chosen face, by instance and id.
std::map<std::pair<HINSTANCE, int>, std::vector<BYTE>> Copies;

// Reads an extended dialog template (DLGTEMPLATEEX and its items), never past
// its end: where its face name lies, and the texts its caption and controls show.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, std::size_t size) : data(data), size(size) {}

    bool Read() {
        WORD version = 0, signature = 0, count = 0;
        DWORD style = 0;
        if (!Word(version) || !Word(signature) || version != 1 || signature != 0xFFFF) return false;
        if (!Skip(8) || !Dword(style) || !Word(count) || !Skip(8)) return false;  // help id, ex-style; x, y, cx, cy
        if (!Name(nullptr) || !Name(nullptr) || !Text(&texts)) return false;     // menu, class, caption
        if ((style & DS_SETFONT) == 0) return false;
        BYTE italicAndCharset[2] = {};
        if (!Word(points) || !Word(weight) || !Bytes(italicAndCharset, 2)) return false;
        italic = italicAndCharset[0];
        faceStart = at;
        if (!Text(&face)) return false;
        Align();
        itemsStart = std::min(at, size);
        for (WORD item = 0; item < count; ++item) {
            Align();
            WORD extra = 0;
            texts += L'\n';
            // help id, ex-style, style, x, y, cx, cy, id; then class, text, creation data.
            if (!Skip(24) || !Name(nullptr) || !Name(&texts) || !Word(extra) || !Skip(extra)) return false;
        }
        return true;
    }

    std::wstring face, texts;
    WORD points = 0, weight = 0;
    BYTE italic = 0;
    std::size_t faceStart = 0, itemsStart = 0;

private:
    bool Bytes(void* out, std::size_t count) {
        if (size - at < count) return false;
        std::memcpy(out, data + at, count);
        at += count;
        return true;
    }
    bool Word(WORD& out) { return Bytes(&out, sizeof out); }
    bool Dword(DWORD& out) { return Bytes(&out, sizeof out); }
    bool Skip(std::size_t count) { return size - at >= count && (at += count, true); }
    void Align() { at = (at + 3) & ~std::size_t{3}; }
    // A text ended by a NUL, appended to out when given.
    bool Text(std::wstring* out) {
        for (WORD unit = 0;;) {
            if (!Word(unit)) return false;
            if (unit == 0) return true;
            if (out != nullptr) *out += static_cast<wchar_t>(unit);
        }
    }
    // A text, nothing (0), or a number (0xFFFF and the number).
    bool Name(std::wstring* out) {
        WORD first = 0;
        if (size - at < 2) return false;
        std::memcpy(&first, data + at, 2);
        if (first == 0) return Skip(2);
        if (first == 0xFFFF) return Skip(4);
        return Text(out);
    }

    const BYTE* data;
    std::size_t size;
    std::size_t at = 0;
};

struct Resource {
    const BYTE* data = nullptr;
    std::size_t size = 0;
};

Resource FindTemplate(HINSTANCE instance, const wchar_t* name) {
    HRSRC found = FindResourceW(instance, name, MAKEINTRESOURCEW(5));  // RT_DIALOG
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    if (loaded == nullptr) return {};
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(instance, found)};
}

// The font the dialog manager makes for a template's face at its point size.
HFONT DialogManagerFont(const std::wstring& face, WORD points, WORD weight, BYTE italic) {
    HDC screen = GetDC(nullptr);
    const int pixels = MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontW(-pixels, 0, 0, 0, weight, italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FF_DONTCARE, face.c_str());
}

struct Faces {
    std::wstring texts;
    std::vector<TemplateReader> templates;
};

// Resource enumeration callbacks must be stdcall in the x86 build: no lambdas.
BOOL CALLBACK ReadTemplate(HMODULE instance, LPCWSTR, LPWSTR name, LONG_PTR data) {
    auto* faces = reinterpret_cast<Faces*>(data);
    const Resource resource = FindTemplate(instance, name);
    TemplateReader reader(resource.data, resource.size);
    if (resource.data != nullptr && reader.Read()) {
        faces->texts += reader.texts;
        faces->templates.push_back(std::move(reader));
    }
    return TRUE;
}

// A face as a dialog would draw with it: whether it draws the texts, whether
// it is a sans-serif one (a gothic, as the templates' own), and the dialog
// units it gives (the width of an average Latin letter, the height of a line).
struct FaceMeasure {
    std::wstring face;
    bool draws = false, sans = false;
    LONG unitX = 0, unitY = 0;
};

FaceMeasure Measure(const std::wstring& face, const TemplateReader& size, const std::wstring& texts) {
    FaceMeasure measure{face};
    HFONT font = DialogManagerFont(face, size.points, size.weight, size.italic);
    if (font == nullptr) return measure;
    measure.draws = FontDrawsText(font, texts);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    measure.unitX = DialogUnitWidth(screen);
    measure.unitY = metrics.tmHeight;
    if (const UINT needed = GetOutlineTextMetricsW(screen, 0, nullptr); needed >= sizeof(OUTLINETEXTMETRICW)) {
        std::vector<BYTE> outline(needed);
        auto* described = reinterpret_cast<OUTLINETEXTMETRICW*>(outline.data());
        if (GetOutlineTextMetricsW(screen, needed, described) != 0) {
            const PANOSE& panose = described->otmPanoseNumber;
            measure.sans = panose.bFamilyType == PAN_FAMILY_TEXT_DISPLAY && panose.bSerifStyle >= PAN_SERIF_NORMAL_SANS &&
                           panose.bSerifStyle <= PAN_SERIF_ROUNDED;
        }
    }
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    return measure;
}

BOOL CALLBACK AddJapaneseFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data) {
    auto* found = reinterpret_cast<std::vector<std::wstring>*>(data);
    const std::wstring face = font->lfFaceName;
    // A face whose name starts with @ is the same one written vertically.
    if (!face.empty() && face[0] != L'@' && std::find(found->begin(), found->end(), face) == found->end())
        found->push_back(face);
    return TRUE;
}

// The faces Japanese systems have, in order; then of the installed Japanese
// faces the sans-serif ones first, and of those the one giving the smallest
// dialog units: the window keeps about the size the templates' own face
// gives it (some Japanese faces have Latin letters twice as wide).
std::wstring FindJapaneseFace(const TemplateReader& size, const std::wstring& texts) {
    for (const wchar_t* face : {L"MS UI Gothic", L"Meiryo UI", L"Yu Gothic UI", L"MS PGothic"})
        if (Measure(face, size, texts).draws) return face;
    std::vector<std::wstring> installed;
    LOGFONTW wanted{};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, AddJapaneseFace, reinterpret_cast<LPARAM>(&installed), 0);
    ReleaseDC(nullptr, screen);
    std::vector<FaceMeasure> drawing;
    for (const std::wstring& face : installed)
        if (FaceMeasure measure = Measure(face, size, texts); measure.draws) drawing.push_back(measure);
    std::stable_sort(drawing.begin(), drawing.end(), [](const FaceMeasure& a, const FaceMeasure& b) {
        return std::tuple(!a.sans, a.unitX, a.unitY) < std::tuple(!b.sans, b.unitX, b.unitY);
    });
    return drawing.empty() ? std::wstring() : drawing.front().face;
}

}  // namespace

LONG DialogUnitWidth(HDC dc) {
    constexpr wchar_t Letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE letters{};
    GetTextExtentPoint32W(dc, Letters, 52, &letters);
    return (letters.cx / 26 + 1) / 2;
}

bool FontDrawsText(HFONT font, std::wstring_view text) {
    std::wstring shown;
    for (wchar_t c : text)
        if (c >= L' ') shown += c;
    if (shown.empty()) return true;
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    std::vector<WORD> glyphs(shown.size());
    const DWORD done = GetGlyphIndicesW(screen, shown.c_str(), static_cast<int>(shown.size()), glyphs.data(),
                                        GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return done == shown.size() && std::find(glyphs.begin(), glyphs.end(), 0xFFFF) == glyphs.end();
}

void ChooseDialogFace(HINSTANCE instance, std::wstring_view moreTexts) {
    ChosenFace.clear();
    TemplateFace.clear();
    Copies.clear();
    Faces faces;
    faces.texts = moreTexts;
    EnumResourceNamesW(instance, MAKEINTRESOURCEW(5), ReadTemplate, reinterpret_cast<LONG_PTR>(&faces));
    bool allDraw = true;
    for (const TemplateReader& read : faces.templates) allDraw = allDraw && Measure(read.face, read, faces.texts).draws;
    if (faces.templates.empty()) return;
    TemplateFace = faces.templates.front().face;
    if (!allDraw) ChosenFace = FindJapaneseFace(faces.templates.front(), faces.texts);
}

const std::wstring& DialogFace() { return ChosenFace.empty() ? TemplateFace : ChosenFace; }

const DLGTEMPLATE* DialogTemplate(HINSTANCE instance, int id) {
    const Resource resource = FindTemplate(instance, MAKEINTRESOURCEW(id));
    if (resource.data == nullptr || ChosenFace.empty()) return reinterpret_cast<const DLGTEMPLATE*>(resource.data);
    std::vector<BYTE>& copy = Copies[{instance, id}];
    if (copy.empty()) {
        TemplateReader read(resource.data, resource.size);
        if (!read.Read()) return reinterpret_cast<const DLGTEMPLATE*>(resource.data);
        // The header up to the face, the chosen face, then the items from the
        // same (DWORD) alignment as before.
        copy.assign(resource.data, resource.data + read.faceStart);
        const auto* face = reinterpret_cast<const BYTE*>(ChosenFace.c_str());
        copy.insert(copy.end(), face, face + (ChosenFace.size() + 1) * sizeof(wchar_t));
        copy.resize((copy.size() + 3) & ~std::size_t{3});
        copy.insert(copy.end(), resource.data + read.itemsStart, resource.data + resource.size);
    }
    return reinterpret_cast<const DLGTEMPLATE*>(copy.data());
}
