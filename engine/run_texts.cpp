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
    // The nesting run refuses a quantity it cannot make; nothing changes.
    {"Object %d asks for %d copies, more than one nesting can make (at most %d). Nothing was "
     "changed.",
     "オブジェクト %d の数量 %d は、一度の集版で作れる数 (最大 %d 個) を超えています。何も変更して"
     "いません。"},
    {"There is not enough memory to nest the selected objects. Nothing was changed.",
     "メモリが不足しているため集版できません。何も変更していません。"},
};

}  // namespace

const char* GetRunText(RunText text, int16_t language) {
  const int i = static_cast<int>(text);
  if (i < 0 || i >= static_cast<int>(RunText::kCount)) return "";
  return language == 0 ? kRunTexts[i].japanese : kRunTexts[i].english;
}
