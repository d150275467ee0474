// The one table of the runs' alerts.
#include "engine/run_texts.h"

namespace {

struct TextPair {
  const char* english;
  const char* japanese;
};

constexpr TextPair kRunTexts[static_cast<int>(RunText::kCount)] = {
    {"No object is selected.", "オブジェクトが選択されていません。"},
    {"Multiple objects selected.", "複数のオブジェクトが選択されています。"},
    {"Some of the selected objects are larger than the nesting area.",
     "選択したオブジェクトのサイズが集版エリアより大きいものがあります。"},
    {" %d reproduced!", " %d 個殖版されました。"},
    // Step and repeat made no copy: the selected objects are not removed.
    {"No copy fits in the nesting area. The selected objects are left as they are.",
     "集版エリアに収まるコピーがありません。選択したオブジェクトはそのままです。"},
};

}  // namespace

const char* GetRunText(RunText text, int16_t language) {
  const int i = static_cast<int>(text);
  if (i < 0 || i >= static_cast<int>(RunText::kCount)) return "";
  return language == 0 ? kRunTexts[i].japanese : kRunTexts[i].english;
}
