// Feeds arbitrary bytes to the data-file decoding and the ini text reader that reads the decoded
// application information and the settings.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/core/base64.h"
#include "platform/core/mem_ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto decoded = DecodeBase64(text);
    if (decoded.size() > size / 4 * 3) {
        std::abort();
    }
    for (const std::string& content : {text, std::string(decoded.begin(), decoded.end())}) {
        TMemIniFile ini;
        ini.SetText(content);
        for (const std::string& section : ini.Sections()) {
            for (const std::string& key : ini.Keys(section)) {
                ini.ReadInteger(section, key, 0);
                ini.ReadFloat(section, key, 0);
                ini.ReadBool(section, key, false);
            }
        }
        TMemIniFile again;
        again.SetText(ini.Text());
        if (again.Text() != ini.Text()) {
            std::abort();
        }
    }
    return 0;
}
