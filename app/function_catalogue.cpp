#include "app/function_catalogue.h"

#include "link/text_utils.h"
#include "platform/classes/file_utils.h"
#include "platform/classes/ini_file.h"

// The built-in entries come with the configuration model; until then every entry is empty.
std::array<std::string, 256> FunctionCatalogue;

bool LoadFunctionListFile(const std::string& fileName) {
    if (!FileExists(fileName)) return false;
    TIniFile ini(fileName);
    for (int code = 0; code < 256; ++code)
        FunctionCatalogue[static_cast<size_t>(code)] =
            ini.ReadString(code < 0x80 ? "INPFUNCS" : "OUTFUNCS", IntToHex16(static_cast<uint32_t>(code), 2), "");
    return true;
}
