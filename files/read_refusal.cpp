#include "files/read_refusal.h"

#include "platform/core/atomic_file.h"
#include "platform/core/byte_stream.h"

namespace vendrel {

std::string NotOurFileSentence(const std::filesystem::path& File, const std::string& Kind,
                               const std::string& SoftwareName) {
    return File.filename().string() + " is not a " + SoftwareName + " " + Kind + ", or it is damaged.";
}

std::string ReadRefusalMessage(const std::filesystem::path& File, const std::string& Kind,
                               const std::string& SoftwareName, std::exception_ptr Error) {
    const std::string name = File.filename().string();
    try {
        std::rethrow_exception(Error);
    } catch (const EReadError& e) {
        switch (e.Fault()) {
        case TReadFault::CutShort:
            return name + " is cut short.\r\n" + e.Detail();
        case TReadFault::NewerVersion:
            return name + " was saved by a newer version of " + SoftwareName +
                   ": update the program to open it.\r\n" + e.Detail();
        case TReadFault::OldVersion:
            return name + " was saved by an old version of " + SoftwareName + " and cannot be read.\r\n" +
                   e.Detail();
        case TReadFault::Damaged:
            break;
        }
        return NotOurFileSentence(File, Kind, SoftwareName) + "\r\n" + e.Detail();
    } catch (const EFileError& e) {
        return name + " cannot be read: it is missing, or you may not read it.\r\n" + e.what();
    } catch (const std::exception& e) {
        return name + " cannot be read.\r\n" + e.what();
    } catch (...) {
        return name + " cannot be read.";
    }
}

} // namespace vendrel
