#include "app/comp_text.h"

#include <algorithm>

#include "link/text_utils.h"
#include "platform/forms/label.h"

namespace {

TComponent* g_owner = nullptr;

const std::vector<std::pair<int, std::string>> kCatalogue = {
    {1001, "Tessel large"},
    {1002, "KV Kelvo"},
    {1003, "MR Mirat"},
    {1004, "KZN Connector"},
    {1005, "Belvar"},
    {1006, "Down Counter"},
    {1007, "Tessel small UP"},
    {1101, "Werte werden gespeichert ..."},
    {1102, "Aktuelle Werte werden  ermittelt ..."},
    {1103, "Daten werden eingelesen ..."},
    {1104, "Unbekannt"},
    {1111, "Nach dem Schließen der Tür"},
    {1112, "Nach dem Öffnen der Tür"},
    {1113, "Pendeltür mit 608M"},
    {1198, "Die Geräteliste konnte nicht eingelesen werden!#Bitte überprüfen Sie den aktuellen Firmwarestand!"},
    {1199, "Gerät reagiert nicht mehr!##Abbruch?"},
    {1201, "Wirklich abbrechen ?"},
    {1202, "Konfiguration wurde gespeichert !"},
    {1203, "Standardkonfiguration für Eingänge wieder herstellen ?"},
    {1204, "Standardkonfiguration für Ausgänge wieder herstellen ?"},
    {1205, "Unbekannter Fehler"},
    {1206, "Passwort ungültig"},
    {1207, "Passwort konnte nicht überprüft werden"},
    {1208, "Passwort ungültig"},
    {1209, "Falsches Passwort"},
    {1210, "Daten konnten nicht eingelesen werden (%sH) !"},
    {1211, "Wirklich abbrechen?"},
    {1212, "Ungültiger Wert für t1 (möglich 0..%ss) !"},
    {1213, "Ungültiger Wert für t2 (möglich 0..%ss) !"},
    {1214, "Wartungstermin auf %s ändern?"},
    {1215, "Wartungstermin wurde geändert!"},
    {1216, "Komponentenliste erstellen ?"},
    {1217, "Funktionsliste erstellen ?"},
    {1218, "Code ungültig!"},
    {1219, "Code ungültig!"},
    {1220, "Fehler bei Eingabewiederholung !"},
    {1221, "COM%s kann nicht geöffnet werden !"},
    {1301, "Fehler: Es sind keine KV angeschlossen!"},
    {1302, "Fehler: HW-Brücken sind unterschiedlich gesetzt!"},
    {1303, "Bestätigung: HW-Brücken richtig konfiguriert?"},
    {1401, "geschlossen"},
    {1402, "Tür geschlossen"},
    {1403, "geöffnet"},
    {1404, "Tür geöffnet"},
    {1405, "Voralarm/Tür zu lange auf"},
    {1406, "Alarm"},
    {1407, "Fehler vorhanden"},
    {1408, "Verriegelt"},
    {1409, "Tür verriegelt"},
    {1410, "Entriegelt"},
    {1411, "Tür entriegelt"},
    {1412, "KZE"},
    {1413, "Kurzzeitentriegelung"},
    {1414, "Unbekannt %s"},
    {1415, "Unbekannt %s"},
    {1501, "Schlüsselschalter"},
    {1502, "Leser"},
    {1511, "Keine Funktion (deaktiviert)"},
    {1512, "Alarme (alle)"},
    {1513, "Ansteuerung Elektrotüröffner"},
    {1601, "Sabotagekontakt"},
    {1602, "Verriegeltrückmeldung fehlt"},
    {1603, "Tür aufgebrochen"},
    {1604, "T1 läuft"},
    {1605, "T2 läuft"},
    {1606, "Tür zu lange offen"},
    {1607, "NOTAUF vom Türterminal"},
    {1608, "NOTAUF von KZN"},
    {1609, "BMA lokal"},
    {1610, "BMA KZN"},
    {1611, "Notstrombetrieb"},
    {1612, "Störung Notstrombetrieb"},
    {1613, "Voralarm"},
    {1650, "Falsches oder kein Gerät kontaktiert !"},
    {1651, "Falsches Gerät (Portalis) kontaktiert !"},
    {1652, "Falsches Gerät (Portalis) kontaktiert !"},
    {1653, "Falsches Gerät (Belvar) kontaktiert !"},
    {1654, "Falsches Gerät (MR 4721) kontaktiert !"},
    {1691, "Eingänge"},
    {1692, "Ausgänge"},
    {1693, "Befehle"},
    {1694, "Meldungen"},
    {1701, "Reset"},
    {1702, "Tausch"},
    {1703, "-"},
    {1704, "-"},
    {1705, "SRDO-Fehler"},
    {1706, "CanOpen"},
    {1707, "CanPassive"},
    {1708, "ConfigInvalid"},
    {1709, "-"},
    {1710, "CanBusOff"},
    {1711, "Flash"},
    {1712, "SystemClock"},
    {1713, "OPCode"},
    {1714, "Not-Taster"},
    {1715, "-"},
    {1716, "-"},
    {1717, "SP1-RxBuffer"},
    {1718, "SP1-TxBuffer"},
    {1719, "SP1-RAM"},
    {1720, "SP1-Register"},
    {1721, "SP1-Stack"},
    {1722, "SP1-WatchDog"},
    {1723, "SP1-Interrupt"},
    {1724, "SP1-Logischer Programmablauf"},
    {1725, "SP2-RxBuffer"},
    {1726, "SP2-TxBuffer"},
    {1727, "SP2-RAM"},
    {1728, "SP2-Register"},
    {1729, "SP2-Stack"},
    {1730, "SP2-WatchDog"},
    {1731, "SP2-Interrupt"},
    {1732, "SP2-Logischer Programmablauf"},
    {1801, "Initialisierung"},
    {1802, "Start Konfiguration"},
    {1803, "Wert Zeitverzögerung t1 setzen"},
    {1804, "Wert Zeitverzögerung t2 setzen"},
    {1805, "Abschluß Parametrisierung"},
    {1806, "Konfigurationswerte einlesen"},
    {1807, "OK"},
    {1808, "Empfang Türzustand"},
    {1809, "Empfang Konfigurationsblock %s"},
    {1810, "Empfang Konfigurationsblock 3"},
    {1811, "Speichern abgeschlossen"},
    {1821, "Operation Mode"},
    {1822, "Pre-Operation Mode"},
    {1823, "Konfigurationsmode"},
    {1824, "Offline"},
    {1825, "Online"},
    {1826, "KV offline"},
    {1827, "Verriegeltmeldung fehlt"},
    {1828, "Inaktiv (Gerät fehlt oder neues Gerät am Bus)"},
    {1829, "Touchbar wird gelden"},
    {1901, "Ändern Zuko Code"},
    {1902, "Ändern System Code"},
    {1903, "Ändern Install Code"},
    {1911, "Xan Portalis für Hutschiene"},
    {1912, "Xan Portalis UP"},
    {1913, "Belvar"},
    {2201, "Datei OK"},
    {2202, "Datei Fehler"},
};

}  // namespace

const std::vector<std::pair<int, std::string>>& CompTextCatalogue() { return kCatalogue; }

std::string CompTextCaption(int id, const std::string& text) {
    std::string caption = "X";
    caption += std::to_string(id);
    return caption + ": " + text;
}

void CreateCompTextLabels(TComponent* owner, TWinControl* page1, TWinControl* page2) {
    const size_t half = (kCatalogue.size() + 1) / 2;
    for (size_t i = 0; i < kCatalogue.size(); ++i) {
        const auto& [id, text] = kCatalogue[i];
        TWinControl* page = i < half ? page1 : page2;
        const int row = static_cast<int>(i < half ? i : i - half);
        // Two columns of 36 rows, 16 px apart; the pages are never shown to the user.
        TLabel* label = new TLabel(owner);
        label->SetName("LabelX" + std::to_string(id));
        label->SetParent(page);
        label->SetBounds(8 + (row / 36) * 300, 8 + (row % 36) * 16, 280, 13);
        label->SetCaption(CompTextCaption(id, text));
    }
}

void SetCompTextOwner(TComponent* owner) { g_owner = owner; }
TComponent* CompTextOwner() { return g_owner; }

TLabel* CompTxtControl(int id) {
    if (!g_owner || id < 1000 || id > 9999) return nullptr;
    return dynamic_cast<TLabel*>(g_owner->FindComponent("LabelX" + std::to_string(id)));
}

std::string GetCompText(int id) {
    std::string caption;
    if (g_owner) {
        TLabel* label = CompTxtControl(id);
        if (!label) return "??? Text" + IntToStrZero(id, 4);
        caption = label->Caption();
    } else {
        // No main window (tools, tests of single units): the built-in texts answer.
        auto it = std::lower_bound(kCatalogue.begin(), kCatalogue.end(), id,
                                   [](const auto& entry, int value) { return entry.first < value; });
        if (it == kCatalogue.end() || it->first != id) return "??? Text" + IntToStrZero(id, 4);
        return it->second;
    }
    const size_t at = caption.find(": ");
    return at == std::string::npos ? caption : caption.substr(at + 2);
}

std::string GetCompTextLines(int id) {
    std::string text = GetCompText(id);
    for (char& c : text)
        if (c == '#') c = '\r';
    return text;
}

std::string FormatCompText(const std::string& text, std::initializer_list<std::string> args) {
    std::string out;
    out.reserve(text.size() + 16);
    auto next = args.begin();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size()) {
            if (text[i + 1] == 's') {
                if (next != args.end()) out += *next++;
                ++i;
                continue;
            }
            if (text[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}
