// TNextGrid's HTML report and its style sheet.

#include <string>

#include "grid/model/Columns.h"
#include "grid/view/GridExport.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/FileSystem.h"
#include "platform/runtime/MaskUtils.h"
#include "platform/runtime/SafeFileStream.h"
#include "platform/runtime/SysUtils.h"

namespace {

constexpr size_t FlushSize = 64 * 1024;

// Cell, header and footer texts: trimmed and escaped as for XML (the report declares XHTML, and
// a control character is no text of an XML document), an empty one as a non-breaking space by
// number, as XML knows no "&nbsp;".
std::string CellText(const WideString& Text) {
    WideString Trimmed = Trim(Text);
    return Trimmed.empty() ? std::string("&#160;") : WideToUtf8(GridExport::HtmlEscape(Trimmed));
}

std::string Attribute(const AnsiString& Text) {
    return WideToUtf8(GridExport::HtmlEscape(AnsiToWide(Text)));
}

WideString FooterText(const TColumnFooter& Footer) {
    WideString Text = Footer.GetCaption();
    const AnsiString Mask = Footer.GetFormatMask();
    if (!Mask.empty()) {
        if (Footer.GetFormatMaskKind() == mkText)
            Text = FormatMaskText(AnsiToWide(Mask), Text);
        else
            Text = FormatFloat(Mask, StrToFloatDef(Text, 0));
    }
    return Footer.GetTextBefore() + Text + Footer.GetTextAfter();
}

// The report is UTF-8, as its head declares, so every character reaches the browser as it is.
class TReportWriter {
public:
    explicit TReportWriter(TStream& Stream) : FStream(Stream) {}
    void Line(const std::string& Text) {
        FBlock += Text;
        FBlock += "\r\n";
        if (FBlock.size() >= FlushSize) Flush();
    }
    void Flush() {
        FStream.WriteBuffer(FBlock.data(), static_cast<int64_t>(FBlock.size()));
        FBlock.clear();
    }

private:
    TStream& FStream;
    std::string FBlock;
};

std::string BaseName(const std::string& Path) {
    std::string Name = ExtractFileName(Path);
    size_t Dot = Name.rfind('.');
    return Dot == std::string::npos || Dot == 0 ? Name : Name.substr(0, Dot);
}

} // namespace

namespace GridExport {

AnsiString HtmlCellText(const WideString& Text) {
    return CellText(Text);
}

} // namespace GridExport

void TNextGrid::SaveToHtml(const WideString& FileName, TNxHtmlSaveSettings Settings) {
    const std::string Path = WideToUtf8(FileName);
    const std::string Base = BaseName(Path);
    TNxColumns* Columns = GetColumns();
    std::vector<TNxCustomColumn*> Shown;
    for (int Pos = 0; Pos < Columns->Count(); ++Pos) {
        TNxCustomColumn* Column = Columns->GetPositionItem(Pos);
        if (Column && Column->GetVisible()) Shown.push_back(Column);
    }

    TSafeFileStream Stream(Path);
    TReportWriter Out(Stream);
    const bool Headers = Settings.Contains(hsSaveHeaders);
    if (Headers) {
        Out.Line("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\"\r\n"
                 "\t\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">");
        Out.Line("<html>");
        Out.Line("\t<head>");
        Out.Line("\t\t<title>Report</title>");
        Out.Line("\t\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />");
        if (Settings.Contains(hsCreateStyleSheet))
            Out.Line("\t\t<link href=\"" + WideToUtf8(GridExport::HtmlEscape(Utf8ToWide(Base))) +
                     "_styles.css\" rel=\"stylesheet\" type=\"text/css\" />");
        Out.Line("\t</head>");
        Out.Line("\t<body>");
    }
    Out.Line("\t\t<table>");
    if (Settings.Contains(hsSaveCaption))
        Out.Line("\t\t\t<caption>" + WideToUtf8(GridExport::HtmlEscape(GetGridCaption())) + "</caption>");
    Out.Line("\t\t\t<tr>");
    for (TNxCustomColumn* Column : Shown)
        Out.Line("\t\t\t\t<th>" + CellText(Column->GetHeader()->GetCaption()) + "</th>");
    Out.Line("\t\t\t</tr>");

    const bool AllRows = Settings.Contains(hsAllRows);
    const int Rows = GetRowCount();
    for (int Row = 0; Row < Rows; ++Row) {
        if (!AllRows && !GetRowVisible(Row)) continue;
        Out.Line("\t\t\t<tr>");
        for (TNxCustomColumn* Column : Shown) {
            const std::string Text = CellText(GetDrawText(Column->GetIndex(), Row));
            if (Column->GetStyleClass().empty())
                Out.Line("\t\t\t\t<td>" + Text + "</td>");
            else
                Out.Line("\t\t\t\t<td class=\"" + Attribute(Column->GetStyleClass()) + "\">" + Text +
                         "</td>");
        }
        Out.Line("\t\t\t</tr>");
    }
    if (Settings.Contains(hsSaveFooter)) {
        Out.Line("\t\t\t<tr class=\"footer\">");
        for (TNxCustomColumn* Column : Shown)
            Out.Line("\t\t\t\t<td>" + CellText(FooterText(*Column->GetFooter())) + "</td>");
        Out.Line("\t\t\t</tr>");
    }
    Out.Line("\t\t</table>");
    if (Headers) {
        Out.Line("\t</body>");
        Out.Line("</html>");
    }
    Out.Line("");
    Out.Flush();

    if (Settings.Contains(hsCreateStyleSheet)) {
        TSafeFileStream Css(ExtractFilePath(Path) + Base + "_styles.css");
        TReportWriter Sheet(Css);
        for (const char* Line : {"body, table {",
                                 "\tfont-family: Verdana, Arial, Helvetica, sans-serif;",
                                 "\tfont-size: small;",
                                 "}",
                                 "",
                                 "table {",
                                 "\tborder: 1px #CCC;",
                                 "\tborder-collapse: collapse;",
                                 "}",
                                 "",
                                 "table caption {",
                                 "\tcolor: #999;",
                                 "\tfont-style: italic;",
                                 "}",
                                 "",
                                 "td, th {",
                                 "\tpadding: 2px;",
                                 "\tborder: 1px solid #CCC;",
                                 "}",
                                 "",
                                 "th {",
                                 "\tbackground-color: #CCC;",
                                 "\tborder-bottom: 1px solid black;",
                                 "\tborder-right: 1px solid black;",
                                 "}",
                                 "",
                                 "tr.footer { border-top: 2px solid black; }",
                                 ""})
            Sheet.Line(Line);
        for (TNxCustomColumn* Column : Shown)
            if (!Column->GetStyleClass().empty())
                Sheet.Line("td." + Attribute(Column->GetStyleClass()) + " { }");
        Sheet.Flush();
        Css.Commit();
    }
    // The report replaces the old one only once its style sheet is in place too.
    Stream.Commit();
}
