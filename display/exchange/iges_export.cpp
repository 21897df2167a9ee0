#include "display/exchange/iges_export.h"

#include <filesystem>
#include <unistd.h>

#include "command/document/document.h"
#include "command/general/file_names.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "display/exchange/iges_writer.h"
#include "display/views/view_modes.h"
#include "platform/temp_file.h"

int exportIgesView(CQelDoc& document, const std::string& path) {
    if (ownFileRefused(path)) return 0;
    setViewType(0);
    if (autoRedraw) requestRedraw();
    // A name no file has: the iges command refuses to write over an existing one.
    const std::filesystem::path temp = platform::makeTempFile("igesXXXXXXX");
    if (temp.empty()) {
        errorText(outputChannel, "Error opening temporary file.\n");
        return 0;
    }
    ::unlink(temp.c_str());
    const std::string name = temp.filename().string();
    commandBuffer = (viewRays ? "iges/rays/name=" : "iges/name=") + name;
    document.ExecuteCommand();
    if (autoRedraw) requestRedraw();
    std::error_code ec;
    if (!std::filesystem::exists(name, ec)) return 0; // the iges command said why
    IgesState& s = igesState();
    s.header = IgesHeader{};
    s.header.fileName = std::filesystem::path(path).filename().string();
    s.intermediateFile = name;
    s.outputDirectory.clear();
    s.outputName = path;
    const int done = writeIgesFile();
    ::unlink(name.c_str()); // also when the conversion failed
    return done;
}
