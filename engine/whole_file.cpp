// Small files read whole through the file reader.
#include "whole_file.h"

#include "file_reader.h"

namespace engine {
namespace {

WholeFileResult ReadWhole(FileReader& reader, ResultCode opened, size_t limit, std::string& bytes) {
    bytes.clear();
    if (opened != ResultSuccess) {
        return opened == ResultNotFound ? WholeFileResult::NotFound : WholeFileResult::Unreadable;
    }
    if (reader.Size() > limit) {
        return WholeFileResult::TooLong;
    }
    switch (ReadToEnd(reader, limit, bytes)) {
        case ReadToEndResult::Read:
            return WholeFileResult::Read;
        case ReadToEndResult::TooLong:
            return WholeFileResult::TooLong;
        case ReadToEndResult::Failed:
            break;
    }
    return WholeFileResult::Unreadable;
}

}  // namespace

WholeFileResult ReadWholeFile(const std::string& path, size_t limit, std::string& bytes) {
    FileReader reader;
    return ReadWhole(reader, reader.Open(path), limit, bytes);
}

WholeFileResult ReadWholeStandardInput(size_t limit, std::string& bytes) {
    FileReader reader;
    return ReadWhole(reader, reader.OpenStandardInput(), limit, bytes);
}

}  // namespace engine
