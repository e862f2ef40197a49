#include "app/command_line.h"

#include <gtest/gtest.h>

TEST(ParseCommandLine, AcceptsTheSimulationOptionsAndRejectsEverythingElse) {
  struct Case {
    std::vector<std::string> arguments;
    bool accepted;
    std::optional<std::string> cameraName;
    std::optional<std::string> source;
  };
  const Case cases[] = {
      {{}, true, std::nullopt, std::nullopt},
      {{"--simulate-camera", "vexa4.0"}, true, "vexa4.0", std::nullopt},
      {{"--simulate-camera", " USB CAMERA KTR"}, true, " USB CAMERA KTR", std::nullopt},
      {{"--simulate-camera", "vexa3", "--simulate-source", "clip.avi"}, true, "vexa3", "clip.avi"},
      {{"--simulate-source", "star.png", "--simulate-camera", "vexa2"}, true, "vexa2", "star.png"},
      {{"--simulate-camera=vexa2.0", "--simulate-source=a=b.png"}, true, "vexa2.0", "a=b.png"},
      {{"--simulate-camera"}, false, std::nullopt, std::nullopt},
      {{"--simulate-camera", ""}, false, std::nullopt, std::nullopt},
      {{"--simulate-camera="}, false, std::nullopt, std::nullopt},
      {{"--simulate-camera", "--simulate-source", "x.png"}, false, std::nullopt, std::nullopt},
      {{"--simulate-camera", "vexa3", "--simulate-source"}, false, std::nullopt, std::nullopt},
      {{"--simulate-source", "x.png"}, false, std::nullopt, std::nullopt},
      {{"--simulate-camera", "a", "--simulate-camera", "b"}, false, std::nullopt, std::nullopt},
      {{"--verbose"}, false, std::nullopt, std::nullopt},
      {{"vexa4.0"}, false, std::nullopt, std::nullopt},
      {{"--simulate-camera", "vexa3", "extra"}, false, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const auto& argument : c.arguments) joined += "[" + argument + "]";
    SCOPED_TRACE(joined);
    std::string error = "stale";
    const auto options = parseCommandLine(c.arguments, error);
    ASSERT_EQ(options.has_value(), c.accepted);
    if (c.accepted) {
      EXPECT_EQ(options->simulatedCameraName, c.cameraName);
      EXPECT_EQ(options->simulatedSource, c.source);
      EXPECT_TRUE(error.empty());
      const CameraSystemOptions camera = cameraSystemOptions(*options);
      EXPECT_EQ(camera.simulatedCameraName, c.cameraName);
      EXPECT_EQ(camera.simulatedSource, c.source);
    } else {
      EXPECT_NE(error.find("usage: varnix"), std::string::npos) << error;
    }
  }
}

TEST(ParseCommandLine, NamesTheOffendingArgument) {
  std::string error;
  EXPECT_FALSE(parseCommandLine({"--simulate-camera", "vexa3", "--frobnicate"}, error));
  EXPECT_NE(error.find("'--frobnicate'"), std::string::npos) << error;
}
