#pragma once

// The sections of the gallery, one function each, in page order. To show more controls, add
// a function here and to kSections in main.cpp.

class Gallery;

void AddPushButtonSection(Gallery& gallery);
void AddSmallButtonSection(Gallery& gallery);
void AddIconSection(Gallery& gallery);
void AddDialogSection(Gallery& gallery);
void AddMenuListSection(Gallery& gallery);
void AddSliderPickerSection(Gallery& gallery);
