#include "app/main_settings.h"

#include "link/form_txt_com.h"
#include "link/link_state.h"
#include "program/program_dirs.h"
#include "program/text_utils.h"
#include "platform/classes/file_utils.h"
#include "platform/classes/ini_file.h"
#include "platform/rtl/str_utils.h"

int32_t ComPort = 1;
int32_t CocPort = 1;
int32_t CotPort = 1;
int32_t KeyEnd = 2;
bool PxtShow = false;
// PxtProt lives with the text channel (link/form_txt_com.h).
int32_t InstMode = 0;
int32_t InstStepMode = 1;
bool DbBridgeHex = false;
bool DbProtNetInfo = false;
std::string Language;
bool CmrRm = true;
bool MProtRdOd = false;

TMainSettings ReadMainSettings(const std::string& fileName) {
    TMainSettings s;
    TIniFile ini(fileName);
    const char* m = "MAIN";
    s.Cot = ini.ReadInteger(m, "COT", s.Cot);
    s.Com = ini.ReadInteger(m, "COM", s.Com);
    s.Coc = ini.ReadInteger(m, "COC", s.Coc);
    s.Ctc = ini.ReadInteger(m, "CTC", s.Ctc);
    s.Csm = ini.ReadInteger(m, "CSM", s.Csm);
    s.Csv = ini.ReadBool(m, "CSV", s.Csv);
    s.KeyEnd = ini.ReadInteger(m, "KEYEND", s.KeyEnd);
    s.PrtShow = ini.ReadBool(m, "PRTSHOW", s.PrtShow);
    s.PrtProt = ini.ReadBool(m, "PRTPROT", s.PrtProt);
    s.PxtShow = ini.ReadBool(m, "PXTSHOW", s.PxtShow);
    s.PxtProt = ini.ReadBool(m, "PXTPROT", s.PxtProt);
    s.InstMode = ini.ReadInteger(m, "INSTMODE", s.InstMode);
    s.InstStepMode = ini.ReadInteger(m, "INSTSTPM", s.InstStepMode);
    s.DbBridgeHex = ini.ReadBool(m, "DBBRIDGEHEX", s.DbBridgeHex);
    s.DbProtNetInfo = ini.ReadBool(m, "DBPROTNETINFO", s.DbProtNetInfo);
    s.Language = UpperCaseDEStr(Trim(ini.ReadString(m, "LANGUAGE", "")));
    s.CmrRm = ini.ReadBool(m, "CMRRM", s.CmrRm);
    s.MProtRdOd = ini.ReadBool(m, "MPROTRDOD", s.MProtRdOd);
    return s;
}

void ApplyMainSettings(const TMainSettings& s) {
    CotPort = s.Cot;
    ComPort = s.Com;
    CocPort = s.Coc;
    KeyEnd = s.KeyEnd;
    LinkState.PrtShow = s.PrtShow;
    LinkState.PrtProt = s.PrtProt;
    PxtShow = s.PxtShow;
    PxtProt = s.PxtProt;
    InstMode = s.InstMode;
    InstStepMode = s.InstStepMode;
    DbBridgeHex = s.DbBridgeHex;
    DbProtNetInfo = s.DbProtNetInfo;
    Language = s.Language;
    CmrRm = s.CmrRm;
    MProtRdOd = s.MProtRdOd;
}

void WriteIniInteger(const std::string& key, int32_t value) {
    std::string file = FindFileCaseInsensitive(BaseDir, "TOVAK.INI");
    if (file.empty()) file = BaseDir + "TOVAK.INI";
    TIniFile ini(file);
    ini.WriteInteger("MAIN", key, value);
}
