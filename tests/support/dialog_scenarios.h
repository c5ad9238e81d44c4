// What the settings dialog must do, as scenarios that the Windows and the
// GTK dialog tests both play through their own real dialogs: settings
// stored first, steps (clicks, typing, the file chooser, looks at what the
// controls show), the button that ends it, and what is stored after.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the controls show.
struct DialogView {
  bool surface, explode, bitmap_controls_enabled;
  int32_t size_button;
  std::string path;
};

struct DialogStep {
  enum { kClick, kType, kChoose, kLook } kind;
  int32_t control;   // kClick
  std::string text;  // kType, kChoose: the path typed or chosen
  DialogView view;   // kLook
};

struct DialogScenario {
  const char* what;
  bool planted;  // settings stored before: Surface, Displacement, Texture
  int32_t surface, displacement;
  std::string texture;
  std::vector<DialogStep> steps;
  int32_t end_button, result;
  // What loads from the store after: Surface, Explode, Displacement, Texture.
  int32_t stored_surface, stored_explode, stored_displacement;
  std::string stored_texture;
};

// `chosen` is a picture that exists, named as the platform's chooser gives it.
std::vector<DialogScenario> DialogScenarios(const std::string& chosen);

// Plants a scenario's settings, and checks what the store holds after it.
void PlantScenario(const DialogScenario& scenario);
void CheckStoredAfter(const DialogScenario& scenario);
