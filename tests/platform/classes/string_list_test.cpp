#include "platform/classes/string_list.h"

#include <gtest/gtest.h>

#include "platform/classes/memory_stream.h"
#include "platform/rtl/exception.h"
#include "tests/platform/classes/temp_dir.h"

TEST(StringList, SortedListKeepsOrderAndHandlesDuplicates) {
    TStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Add("delta"), 0);
    EXPECT_EQ(list.Add("Alpha"), 0);
    EXPECT_EQ(list.Add("charlie"), 1);
    EXPECT_EQ(list.Add("ALPHA"), 0);  // dupIgnore, compared ignoring case: the existing index
    EXPECT_EQ(list.CommaText(), "Alpha,charlie,delta");

    int index = -1;
    EXPECT_TRUE(list.Find("CHARLIE", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("bravo", index));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(list.IndexOf("Delta"), 2);
    EXPECT_EQ(list.IndexOf("echo"), -1);

    list.SetDuplicates(dupError);
    try {
        list.Add("delta");
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "String list does not allow duplicates");
    }
    list.SetDuplicates(dupAccept);
    list.Add("alpha");
    EXPECT_EQ(list.Count(), 4);

    EXPECT_THROW(list.Insert(0, "x"), EStringListError);
    EXPECT_THROW(list.SetStrings(0, "x"), EStringListError);
    EXPECT_THROW(list.Move(0, 1), EStringListError);
    EXPECT_EQ(list.Count(), 4);
    try {
        list.Strings(4);
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (4)");
    }
}

TEST(StringList, UmlautsSortBesideTheirBaseLetterAndCaseSensitivityResorts) {
    TStringList list;
    list.SetCommaText("Zaun,Öffner,Tür,Ofen,b,B");
    list.SetSorted(true);
    EXPECT_EQ(list.Strings(0), "b");
    EXPECT_LT(list.IndexOf("ofen"), list.IndexOf("öffner"));
    EXPECT_LT(list.IndexOf("Öffner"), list.IndexOf("Tür"));
    list.SetCaseSensitive(true);
    int index = -1;
    EXPECT_TRUE(list.Find("B", index));
    EXPECT_EQ(list.Strings(index), "B");
    EXPECT_FALSE(list.Find("tür", index));
}

TEST(StringList, CommaAndDelimitedTextFollowTheClassLibraryQuoting) {
    TStringList list;
    list.Add("plain");
    list.Add("two words");
    list.Add("say \"hi\"");
    list.Add("a,b");
    list.Add("");
    EXPECT_EQ(list.CommaText(), "plain,\"two words\",\"say \"\"hi\"\"\",\"a,b\",");

    TStringList back;
    back.SetCommaText(list.CommaText());
    EXPECT_TRUE(back.Equals(&list));

    // Unquoted entries also end at a blank; blanks around delimiters are skipped.
    back.SetCommaText(" a b , c,\"d, e\" ,");
    ASSERT_EQ(back.Count(), 5);
    EXPECT_EQ(back.Strings(0), "a");
    EXPECT_EQ(back.Strings(1), "b");
    EXPECT_EQ(back.Strings(2), "c");
    EXPECT_EQ(back.Strings(3), "d, e");
    EXPECT_EQ(back.Strings(4), "");
    back.SetCommaText("\"unterminated, rest");
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Strings(0), "unterminated, rest");

    TStringList single;
    single.Add("");
    EXPECT_EQ(single.CommaText(), "\"\"");

    TStringList semi;
    semi.SetDelimiter(';');
    semi.SetQuoteChar('\'');
    semi.SetDelimitedText("x;'y;z';'it''s'");
    ASSERT_EQ(semi.Count(), 3);
    EXPECT_EQ(semi.Strings(1), "y;z");
    EXPECT_EQ(semi.Strings(2), "it's");
    EXPECT_EQ(semi.DelimitedText(), "x;'y;z';'it''s'");
}

TEST(StringList, TextUsesCrLfAndSplitsOnAnyLineBreak) {
    TStringList list;
    list.SetText("one\r\ntwo\nthree\rfour\r\n\r\nsix");
    ASSERT_EQ(list.Count(), 6);
    EXPECT_EQ(list.Strings(3), "four");
    EXPECT_EQ(list.Strings(4), "");
    EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n\r\nsix\r\n");
    list.SetText("last\r\n");
    EXPECT_EQ(list.Count(), 1);
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Text(), "");
}

TEST(StringList, NamesAndValues) {
    TStringList list;
    list.Add("Port=COM3");
    list.Add("no separator");
    list.Add("Speed=9600=fast");
    EXPECT_EQ(list.Names(0), "Port");
    EXPECT_EQ(list.Names(1), "");
    EXPECT_EQ(list.Values("port"), "COM3");
    EXPECT_EQ(list.Values("speed"), "9600=fast");
    EXPECT_EQ(list.ValueFromIndex(2), "9600=fast");
    EXPECT_EQ(list.IndexOfName("SPEED"), 2);
    EXPECT_EQ(list.Values("missing"), "");

    list.SetValues("Port", "COM4");
    EXPECT_EQ(list.Strings(0), "Port=COM4");
    list.SetValues("New", "1");
    EXPECT_EQ(list.Strings(3), "New=1");
    list.SetValues("Port", "");  // an empty value removes the entry
    EXPECT_EQ(list.IndexOfName("Port"), -1);
    EXPECT_EQ(list.Count(), 3);
}

TEST(StringList, ChangeEventsAreHeldBackDuringUpdates) {
    TStringList list;
    int changing = 0;
    int changed = 0;
    list.OnChanging = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++changing;
    };
    list.OnChange = [&](TObject*) { ++changed; };
    list.Add("a");
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(changed, 1);
    list.BeginUpdate();
    list.Add("b");
    list.Add("c");
    list.BeginUpdate();
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(changed, 1);
    list.EndUpdate();
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
    list.SetText("x\ny");  // one bracket for the whole text
    EXPECT_EQ(changed, 3);
}

TEST(StringList, ObjectsMoveExchangeAssignAndCustomSort) {
    TStringList a;
    TObject o1;
    TObject o2;
    a.AddObject("one", &o1);
    a.AddObject("two", &o2);
    a.Add("three");
    a.Move(0, 2);
    EXPECT_EQ(a.CommaText(), "two,three,one");
    EXPECT_EQ(a.Objects(2), &o1);
    EXPECT_THROW(a.Move(0, 3), EStringListError);
    EXPECT_EQ(a.Count(), 3);  // a failed move loses nothing
    a.Exchange(0, 2);
    EXPECT_EQ(a.Objects(0), &o1);
    EXPECT_EQ(a.IndexOfObject(&o2), 2);

    TStringList b;
    b.Add("old");
    b.Assign(&a);
    EXPECT_TRUE(b.Equals(&a));
    EXPECT_EQ(b.Objects(0), &o1);

    b.CustomSort([](TStringList* list, int i, int j) {
        return static_cast<int>(list->Strings(i).size()) - static_cast<int>(list->Strings(j).size());
    });
    EXPECT_EQ(b.CommaText(), "one,two,three");  // stable for equal lengths
    b.Sort();
    EXPECT_EQ(b.CommaText(), "one,three,two");

    TStringList c;
    EXPECT_THROW(c.Assign(nullptr), EConvertError);
}

TEST(StringList, LoadAndSaveUseUtf8WithWindows1252Fallback) {
    TempDir dir;
    std::string file = dir.File("list.txt");
    TStringList list;
    list.Add("Tür");
    list.Add("Größe");
    list.SaveToFile(file);
    EXPECT_EQ(TempDir::Read(file), "Tür\r\nGröße\r\n");

    TempDir::Write(file,
                   "T\xFCr\nGr\xF6\xDF"
                   "e");
    TStringList loaded;
    loaded.LoadFromFile(file);
    EXPECT_EQ(loaded.Text(), "Tür\r\nGröße\r\n");
    EXPECT_THROW(loaded.LoadFromFile(dir.File("missing.txt")), EFOpenError);

    TMemoryStream stream;
    list.SaveToStream(&stream);
    stream.SetPosition(0);
    TStringList from_stream;
    from_stream.LoadFromStream(&stream);
    EXPECT_TRUE(from_stream.Equals(&list));
}
