// Registers the skin library's components with the class registry, so that stored window
// descriptions can create them by class name. Called once from the program's start-up (and by
// tests that read descriptions); a static registration object would be dropped by the linker,
// since nothing refers to it in a static library.
#pragma once

void RegisterSkinClasses();
