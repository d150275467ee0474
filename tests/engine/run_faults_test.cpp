// A machine out of memory during a nesting run or step and repeat: one
// allocation at a time is made to fail, anywhere in the command (the
// plug-in, the host's calls and effects, the progress dialog, the search
// thread), and the command must either finish with every copy made or
// report the failure with the document as it was.
//
// The test program replaces the allocator, so it is a program of its own.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "engine/step_repeat.h"
#include "tests/engine/nesting_fixture.h"
#include "ui/progress_dialog.h"

namespace {

// While armed, the allocation that finds the countdown at 0 throws, as
// operator new does when the machine has no memory left; all others succeed.
std::atomic<int64_t> g_countdown{-1};
std::atomic<bool> g_failed{false};

void Arm(int64_t n) {
  g_failed.store(false);
  g_countdown.store(n);
}
void Disarm() {
  g_countdown.store(-1);
}

}  // namespace

void* operator new(std::size_t size) {
  if (g_countdown.load(std::memory_order_relaxed) >= 0 && g_countdown.fetch_sub(1) == 0) {
    g_failed.store(true);
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
// Every other form comes here too, so that each allocation is counted and
// freed by the same pair (a sanitizer checks the pairing).
void* operator new[](std::size_t size) {
  return ::operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return ::operator new(size, tag);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}

// The host's polygon clipper (Debian's libpolyclipping) is not exception
// safe: an allocation that fails inside a union leaks what the union had
// built. That is the library's, on a path only this test takes; the leak
// checker of the address-sanitizer build is told so.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libpolyclipping\n";
}

namespace {

class RunFaultTest : public NestingTest {
 protected:
  // A fresh document, as the fixture starts one.
  void NewDocument() {
    host::Documents().CloseAll();
    doc = host::Documents().New("test");
    layer = doc->current_layer()->group;
    user.Clear();
  }

  // Fails each allocation of the command in turn, from the first to the
  // last one a whole run makes (a run takes about a millisecond). Build
  // draws the selection; whole(result) judges a run that finished.
  template <class BuildFn, class RunFn, class WholeFn>
  void Sweep(BuildFn build, RunFn run, WholeFn whole) {
    NewDocument();
    build();
    Arm(int64_t{1} << 40);
    ASSERT_EQ(run(), kNestingDone);
    const int64_t total = (int64_t{1} << 40) - g_countdown.load();
    Disarm();
    ASSERT_TRUE(whole());
    int refused = 0;
    for (int64_t n = 0; n < total && !HasFailure(); ++n) {
      SCOPED_TRACE("allocation " + std::to_string(n) + " of " + std::to_string(total));
      NewDocument();
      build();
      const std::string before = host::ExportSvgText(*doc);
      Arm(n);
      const int32_t result = run();
      Disarm();
      EXPECT_EQ(ui::ProgressWindow(), nullptr);
      EXPECT_EQ(doc->LayerCount(), 1);
      if (!g_failed.load()) {
        // The progress loop allocates as often as it wakes, so a run may
        // make fewer allocations than the first one did.
        EXPECT_EQ(result, kNestingDone);
        EXPECT_TRUE(whole());
      } else if (result == kNestingDone) {
        // The failure was met where a step has a second way (a worker
        // thread not started, a dialog text not drawn): a whole result.
        EXPECT_TRUE(whole());
      } else {
        ++refused;
        EXPECT_EQ(result, kNestingNotRun);
        EXPECT_EQ(host::ExportSvgText(*doc), before);
        EXPECT_FALSE(Alerts().empty());
      }
    }
    EXPECT_GT(refused, 0);
  }

  // The copies' boxes, which must not overlap.
  bool BoxesApart() const {
    std::vector<RealRect> boxes;
    for (host::Art* o : AllObjects()) {
      RealRect b{0, 0, 0, 0};
      host::ArtExtent(*o, nullptr, 0, &b);
      boxes.push_back(b);
    }
    for (size_t i = 0; i < boxes.size(); ++i)
      for (size_t j = i + 1; j < boxes.size(); ++j)
        if (RectOverlap(&boxes[i], &boxes[j])) return false;
    return true;
  }
};

// Three squares, two copies each, outlines and quarter-turn trials on
// worker threads: every phase of a nesting run allocates.
TEST_F(RunFaultTest, ANestingRunPlacesEveryCopyOrLeavesTheDocumentAsItWas) {
  Sweep(
      [this] {
        SmallPlate(400);
        globals.outline_mode = 1;
        globals.enable_anytime_rotation = 1;
        globals.anytime_rotation_mode = 1;
        for (int i = 0; i < 3; ++i) {
          host::Art* o = Square(60.0 * i, 0, 40 + 10 * i);
          SetQuantity(o, "2");
          Select(o);
        }
      },
      [this] { return Run(); }, [this] { return AllObjects().size() == 6u && BoxesApart(); });
}

// Step and repeat of a triangle on a small plate: a lattice of copies.
TEST_F(RunFaultTest, StepAndRepeatMakesEveryCopyOrLeavesTheDocumentAsItWas) {
  size_t copies = 0;
  Sweep(
      [this] {
        SmallPlate(200);
        globals.cur_param.collection_margin = 4 / PointsPerMm;
        globals.outline_mode = 1;
        Select(Polygon({{0, 0}, {60, 0}, {30, 50}}));
      },
      [] {
        int32_t sheets = -1;
        return RunStepAndRepeat(&sheets);
      },
      [this, &copies] {
        const size_t now = AllObjects().size();
        if (copies == 0) copies = now;
        return now == copies && copies > 1;
      });
}

}  // namespace
