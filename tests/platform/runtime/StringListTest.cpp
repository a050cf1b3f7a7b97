// TStringList: indexed and sorted lists, duplicates, case, objects and the text forms.

#include <memory>
#include <vector>

#include "platform/runtime/RuntimeTestSupport.h"
#include "platform/runtime/StringList.h"

namespace {

std::vector<WideString> Lines(const TStrings& list) {
    std::vector<WideString> r;
    for (int i = 0; i < list.GetCount(); ++i)
        r.push_back(list[i]);
    return r;
}
using W = std::vector<WideString>;

class TTag : public TObject {
public:
    explicit TTag(int v) : Value(v) {}
    int Value;
};

TEST(StringList, SortedListsKeepOrderUnderEachDuplicatesPolicy) {
    TStringList ignore;
    ignore.SetSorted(true);
    EXPECT_EQ(ignore.Add(u"b"), 0);
    EXPECT_EQ(ignore.Add(u"a"), 0);
    EXPECT_EQ(ignore.Add(u"c"), 2);
    EXPECT_EQ(ignore.Add(u"A"), 0); // equal ignoring case: not added again
    EXPECT_EQ(Lines(ignore), (W{u"a", u"b", u"c"}));

    TStringList accept;
    accept.SetSorted(true);
    accept.SetDuplicates(dupAccept);
    accept.AddObject(u"b", nullptr);
    accept.Add(u"a");
    EXPECT_EQ(accept.Add(u"A"), 1); // after the equal one already there
    EXPECT_EQ(accept.Add(u"a"), 2);
    EXPECT_EQ(Lines(accept), (W{u"a", u"A", u"a", u"b"}));
    EXPECT_EQ(accept.IndexOf(u"A"), 0); // the first of equal strings

    TStringList error;
    error.SetSorted(true);
    error.SetDuplicates(dupError);
    error.Add(u"x");
    EXPECT_EQ(MessageOf<EStringListError>([&] { error.Add(u"X"); }), "String list does not allow duplicates");
    EXPECT_THROW(error.Add(u"x"), EListError);
    EXPECT_EQ(error.GetCount(), 1);

    EXPECT_EQ(MessageOf<EStringListError>([&] { ignore.Insert(0, u"z"); }),
              "Operation not allowed on sorted list");
    EXPECT_EQ(MessageOf<EStringListError>([&] { ignore.Put(0, u"z"); }),
              "Operation not allowed on sorted list");

    int index = -1;
    EXPECT_TRUE(ignore.Find(u"B", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(ignore.Find(u"bb", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(ignore.Find(u"zz", index));
    EXPECT_EQ(index, 3);
}

TEST(StringList, CaseSensitivityDecidesOrderAndSearch) {
    TStringList list;
    for (auto s : {u"b", u"B", u"a", u"\u00c4", u"C"})
        list.Add(s);
    EXPECT_EQ(list.IndexOf(u"c"), 4);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf(u"c"), -1);
    list.SetSorted(true); // by code units: upper case first
    EXPECT_EQ(Lines(list), (W{u"B", u"C", u"a", u"b", u"\u00c4"}));
    list.SetCaseSensitive(false); // a sorted list re-sorts; equal strings keep their order
    EXPECT_EQ(Lines(list), (W{u"a", u"B", u"b", u"C", u"\u00c4"}));
    EXPECT_EQ(list.IndexOf(u"\u00e4"), 4);
}

TEST(StringList, ObjectsTravelWithTheirStrings) {
    TStringList list(true); // owns its objects
    list.AddObject(u"three", new TTag(3));
    list.AddObject(u"one", new TTag(1));
    list.AddObject(u"two", new TTag(2));
    list.CustomSort([](TStringList* l, int a, int b) {
        return static_cast<TTag*>(l->GetObject(a))->Value - static_cast<TTag*>(l->GetObject(b))->Value;
    });
    EXPECT_EQ(Lines(list), (W{u"one", u"two", u"three"}));
    list.Sort();
    EXPECT_EQ(Lines(list), (W{u"one", u"three", u"two"}));
    EXPECT_EQ(static_cast<TTag*>(list.GetObject(1))->Value, 3);
    list.Exchange(0, 2);
    EXPECT_EQ(static_cast<TTag*>(list.GetObject(0))->Value, 2);
    list.Move(0, 2);
    EXPECT_EQ(Lines(list), (W{u"three", u"one", u"two"}));
    EXPECT_EQ(static_cast<TTag*>(list.GetObject(2))->Value, 2);
    list.Delete(0); // frees the object (the sanitizer build checks)

    TStringList copy;
    copy.Assign(&list);
    EXPECT_EQ(Lines(copy), (W{u"one", u"two"}));
    EXPECT_EQ(copy.GetObject(1), list.GetObject(1));
    EXPECT_EQ(copy.IndexOfObject(list.GetObject(0)), 0);

    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Get(2); }), "List index out of bounds (2)");
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Delete(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Insert(3, u"x"); }), "List index out of bounds (3)");
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.PutObject(5, nullptr); }),
              "List index out of bounds (5)");
}

TEST(StringList, TextForms) {
    TStringList list;
    list.SetText(u"a\r\nb\nc\r\rd");
    EXPECT_EQ(Lines(list), (W{u"a", u"b", u"c", u"", u"d"}));
    EXPECT_EQ(list.GetText(), u"a\r\nb\r\nc\r\n\r\nd\r\n");

    list.Clear();
    for (auto s : {u"a", u"b c", u"", u"d\"e", u"f,g"})
        list.Add(s);
    EXPECT_EQ(list.GetCommaText(), u"a,\"b c\",,\"d\"\"e\",\"f,g\"");
    TStringList back;
    back.SetCommaText(list.GetCommaText());
    EXPECT_EQ(Lines(back), Lines(list));
    back.SetCommaText(u" a b , c,");
    EXPECT_EQ(Lines(back), (W{u"a", u"b", u"c", u""}));
    TStringList single;
    single.Add(u"");
    EXPECT_EQ(single.GetCommaText(), u"\"\"");
    back.SetCommaText(single.GetCommaText());
    EXPECT_EQ(Lines(back), (W{u""}));
    back.SetCommaText(u"");
    EXPECT_EQ(back.GetCount(), 0);

    TStringList strict;
    strict.SetDelimiter(u';');
    strict.SetQuoteChar(u'\'');
    strict.SetStrictDelimiter(true);
    for (auto s : {u"a b", u"c;d", u"", u"it's"})
        strict.Add(s);
    EXPECT_EQ(strict.GetDelimitedText(), u"a b;'c;d';;'it''s'");
    TStringList strictBack;
    strictBack.SetDelimiter(u';');
    strictBack.SetQuoteChar(u'\'');
    strictBack.SetStrictDelimiter(true);
    strictBack.SetDelimitedText(strict.GetDelimitedText());
    EXPECT_EQ(Lines(strictBack), Lines(strict));
}

TEST(StringList, NamesAndValues) {
    TStringList list;
    list.Add(u"Width=100");
    list.Add(u"Caption=a=b");
    list.Add(u"plain");
    EXPECT_EQ(list.GetValues(u"width"), u"100");
    EXPECT_EQ(list.GetValues(u"Caption"), u"a=b");
    EXPECT_EQ(list.GetValues(u"plain"), u"");
    EXPECT_EQ(list.GetNames(1), u"Caption");
    EXPECT_EQ(list.GetValueFromIndex(1), u"a=b");
    EXPECT_EQ(list.GetValueFromIndex(-1), u"");
    EXPECT_EQ(list.IndexOfName(u"CAPTION"), 1);
    list.SetValues(u"Height", u"20");
    EXPECT_EQ(list[3], u"Height=20");
    list.SetValues(u"Width", u"");
    EXPECT_EQ(list.IndexOfName(u"Width"), -1);
    list.SetValueFromIndex(0, u"x");
    EXPECT_EQ(list[0], u"Caption=x");
}

TEST(StringList, ChangeEventsWaitForTheOutermostEndUpdate) {
    TStringList list;
    int changes = 0, changing = 0;
    list.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++changes;
    };
    list.OnChanging = [&](TObject*) { ++changing; };
    list.Add(u"a");
    EXPECT_EQ(changes, 1);
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add(u"b");
    list.Add(u"c");
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
    list.EndUpdate();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(changing, 2);
    list.SetText(u"x\ny");
    EXPECT_EQ(changes, 3);
}

// Strings that refuse "bad" and report their update state, as a control's lines do.
class TRefusingStrings : public TStrings {
public:
    std::vector<WideString> Items;
    std::vector<bool> States;
    bool FailReport = false;
    WideString Get(int Index) const override { return Items.at(size_t(Index)); }
    int GetCount() const override { return int(Items.size()); }
    void Insert(int Index, const WideString& S) override {
        if (S == u"bad") throw EStringListError("refused");
        Items.insert(Items.begin() + Index, S);
    }
    void Delete(int Index) override { Items.erase(Items.begin() + Index); }
    void Clear() override { Items.clear(); }

protected:
    void SetUpdateState(bool Updating) override {
        States.push_back(Updating);
        if (!Updating && FailReport) throw EConvertError("report");
    }
};

TEST(StringList, AFailingBatchedChangeStillClosesTheUpdateAndKeepsItsError) {
    TRefusingStrings list;
    EXPECT_THROW(list.SetText(u"a\nbad\nc"), EStringListError);
    EXPECT_EQ(list.GetUpdateCount(), 0);
    EXPECT_EQ(list.States, (std::vector<bool>{true, false}));
    EXPECT_EQ(list.Items, (std::vector<WideString>{u"a"}));
    // A report that fails while another error is under way gives way to that error.
    list.FailReport = true;
    try {
        list.SetText(u"bad");
        FAIL() << "no error";
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "refused");
    }
    EXPECT_EQ(list.GetUpdateCount(), 0);
    // Without another error the report's own failure reaches the caller.
    EXPECT_THROW(list.SetText(u"x"), EConvertError);
    EXPECT_EQ(list.GetUpdateCount(), 0);
}

TEST(StringList, StreamsInEachEncoding) {
    TStringList list;
    list.Add(u"caf\u00e9");
    list.Add(u"\u20ac 5");
    for (TTextEncoding e : {teUnicode, teBigEndianUnicode, teUTF8}) {
        TMemoryStream stream;
        list.SaveToStream(stream, e);
        stream.SetPosition(0);
        TStringList back;
        back.LoadFromStream(stream); // the byte order mark tells
        EXPECT_EQ(Lines(back), Lines(list)) << e;
    }
    TStringStream ansi;
    SetSystemCodePage(TCodePage::cp1252);
    list.SaveToStream(ansi, teAnsi);
    EXPECT_EQ(ansi.GetDataString(), "caf\xe9\r\n\x80 5\r\n");
    ansi.SetPosition(0);
    TStringList back;
    back.LoadFromStream(ansi); // not UTF-8: the code page
    EXPECT_EQ(Lines(back), Lines(list));

    TempFolder folder;
    list.SaveToFile(folder.File("lines.txt"), teUnicode);
    TStringList fromFile;
    fromFile.LoadFromFile(folder.File("lines.txt"));
    EXPECT_EQ(Lines(fromFile), Lines(list));
}

} // namespace
