#pragma once

// Registers the program's images (lamps, logos, button images). The linker drops the resources of a
// static library unless something refers to them, so every window that shows one calls this first.
void EnsureResources();
