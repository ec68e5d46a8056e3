#pragma once
// Message texts of the dataset framework as the program's German edition of the class
// library shows them; the memory table's own texts are English (they come from its unit).

inline constexpr const char* SNotEditing = "Datenmenge weder im Editier- noch im Einfügemodus";
inline constexpr const char* SDataSetClosed = "Operation bei geschlossener Datenmenge nicht ausführbar";
inline constexpr const char* SDataSetOpen = "Operation bei geöffneter Datenmenge nicht ausführbar";
inline constexpr const char* SDataSetEmpty = "Operation bei leerer Datenmenge nicht ausführbar";
inline constexpr const char* SDataSetReadOnly = "Schreibgeschützte Datenmenge kann nicht geändert werden";
inline constexpr const char* SFieldReadOnly = "Feld '%s' kann nicht verändert werden";
inline constexpr const char* SFieldNotFound = "Das Feld '%s' wurde nicht gefunden";
inline constexpr const char* SRecordNotFound = "Datensatz nicht gefunden";
inline constexpr const char* SFieldAccessError = "Feld '%s' kann nicht als Typ %s angesprochen werden";
inline constexpr const char* SNotBoolean = "'%s' ist kein gültiger boolescher Wert für das Feld '%s'";
inline constexpr const char* SFieldRangeError =
    "%s ist kein gültiger Wert für das Feld '%s'. Der erlaubte Bereich ist %s bis %s";
inline constexpr const char* SInvalidTimeStamp = "'%s' ist kein gültiger Zeitstempel";
inline constexpr const char* SNoDataSet = "Feld '%s' hat keine Datenmenge";
inline constexpr const char* SCircularDataLink = "Zirkuläre Datenverbindungen sind nicht erlaubt";
inline constexpr const char* STextTrue = "Wahr";
inline constexpr const char* STextFalse = "Falsch";

#include <string>
#include <string_view>

// Replaces the one "%s" (or the first two) of a message text.
std::string DbFmt(std::string_view text, std::string_view a, std::string_view b = {}, std::string_view c = {},
                  std::string_view d = {});
[[noreturn]] void DatabaseError(const std::string& message);
