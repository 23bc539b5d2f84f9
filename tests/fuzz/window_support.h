// A fresh window session record for one fuzz input: its own host and the scratch folder as working directory, with
// the built-in default data files there except the ones the input stands for.
#pragma once

#include <memory>

#include "core/form1.h"
#include "fuzz_support.h"
#include "support/fake_host.h"

namespace zelm::fuzz {

struct Window {
  FakeHost host{Scratch().Path()};
  Form1 form{host};
};

// Writes the given data files (every other one is the built-in default) and starts a session record as the program
// starts.
template <typename... Files>
std::unique_ptr<Window> StartWindow(const Files&... files) {
  static const bool defaults = (Scratch().WriteDefaults(), true);
  (void)defaults;
  (Scratch().Write(files.first, files.second), ...);
  auto window = std::make_unique<Window>();
  window->form.FormLoad();
  window->form.FormActivate();
  return window;
}

// The count a window table keeps in its first row ("12" or " 12").
inline int CountIn(const std::string& text) { return static_cast<int>(LeadingNumber(text)); }

}  // namespace zelm::fuzz
