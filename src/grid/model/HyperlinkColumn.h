#pragma once
// The hyperlink column: string cells drawn as links, remembering which links were visited and
// which were found invalid.

#include <memory>

#include "grid/model/Column.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/StringList.h"

using TNxHyperlinkClickEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const WideString& AHyperlink)>;

// A sorted set of links without duplicates, kept in a file or stream one link per line.
class THyperlinkList {
public:
    THyperlinkList();

    void Add(const WideString& Link) { FLinks.Add(Link); }
    void Remove(const WideString& Link);
    void Clear() { FLinks.Clear(); }
    bool Contains(const WideString& Link) const;
    const TStringList& GetLinks() const { return FLinks; }

    // Loading replaces the links; whatever order or repeats the text has, the set stays sorted
    // and unique. Saving writes UTF-8 with its byte order mark, so no link loses characters.
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream) const;
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

private:
    TStringList FLinks;
};

class TNxHyperlinkColumn : public TNxCustomColumn {
public:
    // Options add coEditing and coShowTextFitHint; the font is the link look, blue and underlined.
    explicit TNxHyperlinkColumn(TObject* AOwner = nullptr);

    void Assign(const TPersistent* Source) override;

    TColor GetInvalidatedLinkColor() const { return FInvalidatedLinkColor; }
    void SetInvalidatedLinkColor(TColor Value);
    TColor GetVisitedLinkColor() const { return FVisitedLinkColor; }
    void SetVisitedLinkColor(TColor Value);

    void AddVisitedHyperlink(const WideString& Hyperlink);
    void RemoveVisitedHyperlink(const WideString& Hyperlink);
    void ClearVisitedHyperlinks();
    bool HyperlinkHasBeenVisited(const WideString& Hyperlink) const;
    void LoadVisitedHyperlinksFromFile(const std::string& FileName);
    void SaveVisitedHyperlinksToFile(const std::string& FileName) const;
    void LoadVisitedHyperlinksFromStream(TStream& Stream);
    void SaveVisitedHyperlinksToStream(TStream& Stream) const;

    void AddInvalidatedHyperlink(const WideString& Hyperlink);
    void RemoveInvalidatedHyperlink(const WideString& Hyperlink);
    void ClearInvalidatedHyperlinks();
    bool HyperlinkIsInvalidated(const WideString& Hyperlink) const;
    void LoadInvalidatedHyperlinksFromFile(const std::string& FileName);
    void SaveInvalidatedHyperlinksToFile(const std::string& FileName) const;
    void LoadInvalidatedHyperlinksFromStream(TStream& Stream);
    void SaveInvalidatedHyperlinksToStream(TStream& Stream) const;

    const THyperlinkList& GetVisitedHyperlinks() const { return FVisited; }
    const THyperlinkList& GetInvalidatedHyperlinks() const { return FInvalidated; }

    // The play calls this when a link is clicked; Sender is the play (the column when none).
    virtual void DoClick(int ACol, int ARow, const WideString& AHyperlink, TObject* Sender = nullptr);
    TNxHyperlinkClickEvent OnClick;

private:
    TColor FInvalidatedLinkColor = clRed;
    TColor FVisitedLinkColor = static_cast<TColor>(10027110);
    THyperlinkList FVisited;
    THyperlinkList FInvalidated;
};
