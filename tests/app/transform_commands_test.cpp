// Power Spectrum, Fourier Transform (with the FFT Options dialog),
// Convolution, Deconvolve and Autocorrelation through the dispatcher.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/commands/dispatch.h"
#include "app/dialogs/fft_options_dialog.h"
#include "fake_ui.h"
#include "model/document.h"
#include "set_names.h"

namespace zentrel {
namespace {

using testing::FakeUi;

class TransformCommands : public ::testing::Test {
 protected:
  // n points at x = 0, 1, ... with y = f(i).
  template <typename F>
  void AddSet(const char* name, int n, F y) {
    auto set = std::make_unique<Data_Set>();
    set->name = name;
    for (int i = 0; i < n; ++i) {
      set->SetValue(0, i, i);
      set->SetValue(1, i, y(i));
    }
    doc.AppendSet(std::move(set));
  }
  std::vector<std::string> Names() const { return testing::SetNames(doc); }
  // Answers the FFT Options dialog with `edit` and OK.
  void AnswerFft(std::function<void(FftOptionsDialogModel&)> edit) {
    ui.dialogAnswers.push_back([edit](DialogModel& d) {
      auto& fft = dynamic_cast<FftOptionsDialogModel&>(d);
      edit(fft);
      return true;
    });
  }
  DispatchResult Run(Cmd id) { return Dispatch(doc, ui, id); }

  CZentrelDoc doc;
  FakeUi ui;
};

TEST_F(TransformCommands, PowerSpectrumAppendsTheSpectrumOfTheOnlySet) {
  AddSet("wave", 1000, [](int i) { return std::sin(0.2 * i); });
  EXPECT_EQ(Run(Cmd::PowerSpectrum), DispatchResult::Done);
  EXPECT_TRUE(ui.pickersShown.empty());
  EXPECT_EQ(doc.statusText, "FFT completed");
  ASSERT_EQ(doc.SetCount(), 2);
  EXPECT_EQ(doc.sets[1]->name, "power spectrum of wave");
  EXPECT_EQ(doc.sets[1]->PointCount(0), 513);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_TRUE(doc.undoAvailable);
}

TEST_F(TransformCommands, PowerSpectrumFailureOnlySetsTheStatus) {
  AddSet("a", 5, [](int i) { return 1.0 * i; });
  AddSet("b", 5, [](int i) { return 1.0 * i; });
  doc.sets[1]->SetValue(0, 2, 2.5);
  ui.pickAnswers.push_back(1);
  Run(Cmd::PowerSpectrum);
  EXPECT_EQ(ui.pickersShown.at(0).title, "Select a Set to transform");
  EXPECT_EQ(doc.statusText, "Error:uneven point spacing");
  EXPECT_EQ(doc.SetCount(), 2);
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(TransformCommands, FourierTransformDialogDefaultsAndOutputs) {
  AddSet("R", 8, [](int i) { return 1.0 + i; });
  AddSet("I", 8, [](int i) { return 0.5 * i; });
  AnswerFft([](FftOptionsDialogModel& fft) {
    // Defaults: forward, the first set as the real part, no imaginary part.
    EXPECT_EQ(fft.direction, 1);
    EXPECT_EQ(fft.entries(), (std::vector<std::string>{"All points zero", "R", "I"}));
    EXPECT_EQ(fft.realSelection, 1);
    EXPECT_EQ(fft.imaginarySelection, 0);
    EXPECT_TRUE(fft.realAndImaginary);
    EXPECT_FALSE(fft.powerSpectrum);
    EXPECT_FALSE(fft.amplitudeAndPhase);
    fft.imaginarySelection = 2;
    fft.powerSpectrum = true;
    fft.amplitudeAndPhase = true;
  });
  Run(Cmd::FourierTransform);
  EXPECT_EQ(ui.dialogsShown, (std::vector<std::string>{"FFT Options"}));
  EXPECT_EQ(doc.statusText, "FFT completed");
  EXPECT_EQ(Names(), (std::vector<std::string>{"R", "I", "Real Transform of Rand I", "Imaginary Transform of Rand I",
                                               "Power spectrum", "Amplitude", "Phase"}));
  EXPECT_EQ(doc.sets[2]->PointCount(0), 9);
  EXPECT_EQ(doc.sets[4]->PointCount(0), 5);
  EXPECT_EQ(doc.sets[6]->PointCount(0), 9);
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(TransformCommands, FourierTransformWithEveryOutputOffAddsNothing) {
  AddSet("R", 8, [](int i) { return 1.0 * i; });
  AnswerFft([](FftOptionsDialogModel& fft) { fft.realAndImaginary = false; });
  Run(Cmd::FourierTransform);
  EXPECT_EQ(doc.statusText, "FFT completed");
  EXPECT_EQ(doc.SetCount(), 1);
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(TransformCommands, FourierTransformRefusals) {
  Run(Cmd::FourierTransform);
  EXPECT_EQ(doc.statusText, "No Data Sets to transform!");
  EXPECT_TRUE(ui.dialogsShown.empty());

  AddSet("R", 8, [](int i) { return 1.0 * i; });
  AnswerFft([](FftOptionsDialogModel& fft) { fft.realSelection = 0; });
  Run(Cmd::FourierTransform);
  EXPECT_EQ(doc.statusText, "No Data Sets selected for transform!");

  AnswerFft([](FftOptionsDialogModel& fft) {
    fft.realSelection = 0;
    fft.imaginarySelection = 1;
  });
  Run(Cmd::FourierTransform);
  EXPECT_EQ(doc.statusText, "Set must have a non-zero point spacing");
  EXPECT_EQ(doc.SetCount(), 1);

  doc.statusText = "unchanged";
  ui.dialogAnswers.push_back([](DialogModel&) { return false; });
  Run(Cmd::FourierTransform);
  EXPECT_EQ(doc.statusText, "unchanged");
}

TEST_F(TransformCommands, ConvolutionAsksForBothSetsWithTheirPrompts) {
  AddSet("signal", 100, [](int i) { return std::exp(-0.05 * i); });
  AddSet("response", 5, [](int i) { return i == 2 ? 1.0 : 0.0; });
  doc.sets[1]->ApplyOperation(kOpSubtract, 2.0, kOpNone, 0.0);  // x = -2 .. 2
  ui.pickAnswers = {0, 1};
  Run(Cmd::Convolution);
  ASSERT_EQ(ui.pickersShown.size(), 2u);
  EXPECT_EQ(ui.pickersShown[0].title, "Select a set to convolve");
  EXPECT_EQ(ui.pickersShown[1].title, "Select a the instrument response set");
  EXPECT_EQ(doc.statusText, "Convolution done!");
  ASSERT_EQ(doc.SetCount(), 3);
  EXPECT_EQ(doc.sets[2]->name, "Convolution of signal and response");
  EXPECT_EQ(doc.sets[2]->PointCount(0), 128);
  EXPECT_NEAR(doc.sets[2]->GetValue(1, 10), std::exp(-0.5), 1e-12);

  ui.pickAnswers = {0, 1};
  Run(Cmd::Deconvolve);
  EXPECT_EQ(ui.pickersShown[2].title, "Select a set to deconvolve");
  EXPECT_EQ(doc.statusText, "Deconvolution done!");
  EXPECT_EQ(doc.sets[3]->name, "Deconvolution of signal and response");
}

TEST_F(TransformCommands, DeconvolvingAtAResponseZeroSaysHowManyPointsWereZeroed) {
  AddSet("signal", 30, [](int i) { return 1.0 + i; });
  AddSet("response", 3, [](int i) { return i - 1.0; });  // sums to 0
  ui.pickAnswers = {0, 1};
  ::testing::internal::CaptureStderr();
  Run(Cmd::Deconvolve);
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(doc.statusText, "Deconvolution done! 32 of 32 points set to 0 (the response's transform is zero)");
  ASSERT_EQ(doc.SetCount(), 3);
  EXPECT_EQ(doc.sets[2]->GetValue(1, 5), 0.0);
}

TEST_F(TransformCommands, ConvolutionOfTooShortSetsIsSilent) {
  AddSet("a", 2, [](int i) { return 1.0 * i; });
  AddSet("b", 2, [](int i) { return 1.0 * i; });
  doc.statusText = "before";
  ui.pickAnswers = {0, 1};
  Run(Cmd::Convolution);
  EXPECT_EQ(doc.statusText, "before");
  EXPECT_EQ(doc.SetCount(), 2);
  // A cancelled picker stops the command too.
  ui.pickAnswers = {0, -1};
  Run(Cmd::Convolution);
  EXPECT_EQ(doc.SetCount(), 2);
}

TEST_F(TransformCommands, AutocorrelationAlwaysShowsThePicker) {
  AddSet("ten", 10, [](int i) { return 1.0 * i; });
  ui.pickAnswers = {0};
  Run(Cmd::Autocorrelation);
  EXPECT_EQ(ui.pickersShown.at(0).title, "Select a Set to Autocorrelate");
  EXPECT_EQ(doc.statusText, "Autocorrelation done!");
  ASSERT_EQ(doc.SetCount(), 2);
  EXPECT_EQ(doc.sets[1]->name, "ten Autocorrelaiton");
  EXPECT_EQ(doc.sets[1]->PointCount(0), 10);

  AddSet("nine", 9, [](int i) { return 1.0 * i; });
  ui.pickAnswers = {2};
  Run(Cmd::Autocorrelation);
  EXPECT_EQ(doc.statusText, "Error autocorrelating set");
  ui.pickAnswers = {-1};
  doc.statusText.clear();
  Run(Cmd::Autocorrelation);
  EXPECT_EQ(doc.statusText, "Error autocorrelating set");
  EXPECT_EQ(doc.SetCount(), 3);
}

TEST(FftOptionsDialog, ScriptFieldsByLabel) {
  FftOptionsDialogModel fft({"A", "B"});
  auto set = [&](const std::string& key, const std::string& value) -> std::optional<std::string> {
    for (auto& field : fft.scriptFields())
      if (field.key == key) return field.set(value);
    ADD_FAILURE() << "no field " << key;
    return std::nullopt;
  };
  EXPECT_EQ(set("transform-direciton", "inverse"), std::nullopt);
  EXPECT_EQ(fft.direction, -1);
  EXPECT_EQ(set("real-dataset", "-1"), std::nullopt);
  EXPECT_EQ(fft.realSetIndex(), -1);
  EXPECT_EQ(set("imaginary-dataset", "B"), std::nullopt);
  EXPECT_EQ(fft.imaginarySetIndex(), 1);
  EXPECT_EQ(set("imaginary-dataset", "All points zero"), std::nullopt);
  EXPECT_EQ(fft.imaginarySetIndex(), -1);
  EXPECT_EQ(set("real-dataset", "1"), std::nullopt);
  EXPECT_EQ(fft.realSetIndex(), 1);
  EXPECT_EQ(set("real-and-imaginary", "no"), std::nullopt);
  EXPECT_EQ(set("power-spectrum", "yes"), std::nullopt);
  EXPECT_EQ(set("amplitude-and-phase", "yes"), std::nullopt);
  EXPECT_FALSE(fft.realAndImaginary);
  EXPECT_TRUE(fft.powerSpectrum && fft.amplitudeAndPhase);
  EXPECT_TRUE(set("real-dataset", "2").has_value());
  EXPECT_TRUE(set("real-dataset", "C").has_value());
  EXPECT_TRUE(set("transform-direciton", "sideways").has_value());
  EXPECT_TRUE(set("power-spectrum", "maybe").has_value());
  EXPECT_EQ(fft.realSetIndex(), 1);
}

}  // namespace
}  // namespace zentrel
