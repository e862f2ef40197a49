#include "app/command_line.h"

#include <string_view>

namespace {

constexpr std::string_view cameraOption = "--simulate-camera";
constexpr std::string_view sourceOption = "--simulate-source";
constexpr std::string_view usage =
    "usage: varnix [--simulate-camera NAME [--simulate-source FILE]]\n"
    "  --simulate-camera NAME  add a simulated camera named NAME after the real ones\n"
    "  --simulate-source FILE  take its frames from an image or video file (looped)\n";

std::string failure(const std::string& problem) {
  return "varnix: " + problem + "\n" + std::string(usage);
}

}  // namespace

std::optional<CommandLineOptions> parseCommandLine(const std::vector<std::string>& arguments,
                                                   std::string& error) {
  CommandLineOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    std::string_view option = argument;
    std::optional<std::string> value;
    // Both "--option VALUE" and "--option=VALUE".
    if (const auto equals = argument.find('='); argument.starts_with("--") && equals != std::string::npos) {
      option = std::string_view(argument).substr(0, equals);
      value = argument.substr(equals + 1);
    }

    std::optional<std::string>* target = nullptr;
    if (option == cameraOption) target = &options.simulatedCameraName;
    if (option == sourceOption) target = &options.simulatedSource;
    if (target == nullptr) {
      error = failure("unknown argument '" + argument + "'");
      return std::nullopt;
    }
    if (target->has_value()) {
      error = failure("'" + std::string(option) + "' given twice");
      return std::nullopt;
    }
    // The next argument is the value unless it is itself an option.
    if (!value && i + 1 < arguments.size() && !arguments[i + 1].starts_with("--")) value = arguments[++i];
    if (!value || value->empty()) {
      error = failure("'" + std::string(option) + "' needs a value");
      return std::nullopt;
    }
    *target = std::move(*value);
  }
  if (options.simulatedSource && !options.simulatedCameraName) {
    error = failure("'--simulate-source' needs '--simulate-camera'");
    return std::nullopt;
  }
  error.clear();
  return options;
}

CameraSystemOptions cameraSystemOptions(const CommandLineOptions& options) {
  return {options.simulatedCameraName, options.simulatedSource};
}
