// ComponentClasses: the framework's component classes, registered by name so that stored
// descriptions can create them (forms, panels, labels, buttons, memos, timers, menus, file
// dialogs, application events, image lists).
#pragma once

// Registers the framework's component classes (idempotent; Application->Initialize calls it).
void RegisterFrameworkClasses();
