#pragma once
// Vocabulary of the grid's export and import (TNextGrid's SaveTo.../LoadFrom... operations):
// encodings, report settings, the load progress event, and the text rules shared by the writers.

#include <functional>

#include "platform/runtime/Object.h"
#include "platform/runtime/Registry.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Types.h"

// The delimited text file.
enum TEncodingKind { ekAnsi, ekUnicode, ekUnicodeBigEndian };
// The XML file.
enum TUniEncoding { enUnspecified, enISO_8859_1, enUTF_16, enUTF_8 };

enum TNxHtmlSaveSetting { hsAllRows, hsCreateStyleSheet, hsSaveHeaders, hsSaveFooter, hsSaveCaption };
using TNxHtmlSaveSettings = TSet<TNxHtmlSaveSetting>;

using TLoadProgressEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;

namespace GridExport {

// The XML element name of a column from its header caption (8-bit text): a leading "XML" in any
// case is skipped, then everything before the first name-start character, then every character
// that may not stand in a name; empty gives "Column<Index>". A colon is never kept, as it would
// make the name a namespace prefix.
AnsiString XmlElementName(const AnsiString& Caption, int Index);
// "&", "<", ">", "\"" and "'" as entities and CR as "&#13;" (a reader would turn it into LF);
// characters an XML document cannot hold (controls other than tab, LF and CR; U+FFFE, U+FFFF and
// unpaired surrogates) become "?" in 8-bit text and U+FFFD in wide text.
AnsiString XmlEscape(const AnsiString& Text);
WideString XmlEscape(const WideString& Text);
// As XmlEscape, for an attribute value: tab and LF also as character references, so that a
// reader gets them back rather than blanks.
AnsiString XmlAttributeEscape(const AnsiString& Text);
// As XmlEscape for the HTML report, which keeps apostrophes as they are.
WideString HtmlEscape(const WideString& Text);
// A report text: trimmed and escaped by HtmlEscape; empty gives "&#160;" (a non-breaking space
// by number, as the report is read as XML too).
AnsiString HtmlCellText(const WideString& Text);
// A date-time as the XML export writes it: "yyyy-mm-ddThh:nn:ss" past day 3, else "hh:nn:ss".
AnsiString XmlDateTime(double Value);

} // namespace GridExport
