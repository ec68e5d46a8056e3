#pragma once
// The numbered catalogue of the program's run-time texts. Each text is the caption of a
// label "LabelX<n>" of the main window ("X<n>: " + text), so the control-text catalogue and
// a language file translate the messages along with every other caption.

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

class TComponent;
class TLabel;
class TWinControl;

// The built-in German texts, in identifier order (1001..2202, 142 entries).
const std::vector<std::pair<int, std::string>>& CompTextCatalogue();

// The caption a catalogue label carries: "X" + id + ": " + text.
std::string CompTextCaption(int id, const std::string& text);

// Makes the labels of one of the two hidden text pages (half 0: the first half of the
// catalogue, 1: the rest) on `page`, owned by `owner`.
void CreateCompTextLabels(TComponent* owner, TWinControl* page, int half);

// The component whose labels answer GetCompText (the main window); null: the built-in texts.
void SetCompTextOwner(TComponent* owner);
TComponent* CompTextOwner();

// The label carrying identifier `id`; null for any other number.
TLabel* CompTxtControl(int id);

// The label's present caption after its first ": " (the whole caption without one); for an
// identifier without a label "??? Text" + the identifier as 4 digits.
std::string GetCompText(int id);
// GetCompText with every "#" turned into a carriage return.
std::string GetCompTextLines(int id);

// Puts `args` into the "%s" places of `text` in order. Tolerant, because a language file
// may have dropped or added places: a place without an argument becomes empty, an argument
// without a place is left out, "%%" is "%", and any other "%" stays as it is.
std::string FormatCompText(const std::string& text, std::initializer_list<std::string> args);
inline std::string GetCompTextFmt(int id, std::initializer_list<std::string> args) {
    return FormatCompText(GetCompText(id), args);
}
