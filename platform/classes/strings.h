#pragma once
// The class library's abstract list of strings, each with an optional object (not owned).
// Descendants store the strings; everything built on Get/Put/Insert/Delete lives here:
// name=value pairs, comma and delimited text, Text with CR LF, loading and saving.
// Comparisons ignore case (the locale's letters included) unless a descendant says otherwise.

#include <string>
#include <string_view>

#include "platform/classes/persistent.h"

class TStream;

class TStrings : public TPersistent {
public:
    std::string ClassName() const override { return "TStrings"; }

    virtual int Count() const = 0;
    virtual std::string Strings(int Index) const = 0;
    virtual void SetStrings(int Index, const std::string& S);
    virtual TObject* Objects(int Index) const;
    virtual void SetObjects(int Index, TObject* AObject);
    std::string operator[](int Index) const { return Strings(Index); }

    virtual int Add(const std::string& S);
    virtual int AddObject(const std::string& S, TObject* AObject);
    void Append(const std::string& S) { Add(S); }
    virtual void AddStrings(TStrings* Source);
    virtual void Insert(int Index, const std::string& S) = 0;
    virtual void InsertObject(int Index, const std::string& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    virtual int IndexOf(std::string_view S) const;
    int IndexOfName(std::string_view Name) const;
    int IndexOfObject(TObject* AObject) const;
    // Same count and the same strings, case counting.
    bool Equals(TStrings* Other) const;

    // Copies strings and objects of another TStrings; other sources as TPersistent does.
    void Assign(TPersistent* Source) override;

    // Change events are held back until the outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return update_count_; }

    // "Name=Value" entries. Names(i) is empty for an entry without the separator. Setting an
    // empty value deletes the entry.
    std::string Names(int Index) const;
    std::string Values(std::string_view Name) const;
    void SetValues(std::string_view Name, std::string_view Value);
    std::string ValueFromIndex(int Index) const;
    void SetValueFromIndex(int Index, std::string_view Value);
    char NameValueSeparator() const { return name_value_separator_; }
    void SetNameValueSeparator(char c) { name_value_separator_ = c; }

    // The class library's quoting: an entry holding a blank, a control character, the quote
    // or the delimiter is quoted (inner quotes doubled); reading, an unquoted entry also ends
    // at a blank. A lone empty entry is written as two quotes.
    std::string DelimitedText() const;
    void SetDelimitedText(std::string_view Value);
    std::string CommaText() const;
    void SetCommaText(std::string_view Value);
    char Delimiter() const { return delimiter_; }
    void SetDelimiter(char c) { delimiter_ = c; }
    char QuoteChar() const { return quote_char_; }
    void SetQuoteChar(char c) { quote_char_ = c; }

    // Every string followed by CR LF. Setting splits at CR LF, LF or CR; a final line break
    // adds no empty string.
    virtual std::string Text() const;
    virtual void SetText(std::string_view Value);

    virtual int Capacity() const { return Count(); }
    virtual void SetCapacity(int) {}

    // Reads the rest of the stream (or the whole file) as text: UTF-8, or Windows-1252 when
    // it is not valid UTF-8. A missing file raises EFOpenError.
    void LoadFromFile(const std::string& FileName);
    virtual void LoadFromStream(TStream* Stream);
    // Writes Text as UTF-8; the file is replaced whole (EFCreateError when it cannot be).
    void SaveToFile(const std::string& FileName);
    virtual void SaveToStream(TStream* Stream);

protected:
    virtual void SetUpdateState(bool) {}
    virtual int CompareStrings(std::string_view S1, std::string_view S2) const;
    [[noreturn]] static void Error(const std::string& Message);
    [[noreturn]] static void IndexError(int Index);

private:
    std::string DelimitedTextWith(char delimiter, char quote) const;
    void SetDelimitedTextWith(std::string_view value, char delimiter, char quote);

    int update_count_ = 0;
    char delimiter_ = ',';
    char quote_char_ = '"';
    char name_value_separator_ = '=';
};
