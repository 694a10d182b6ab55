#pragma once
// What the square painters and the state hooks work with: the world's hooks get this, not the
// window. The window fills it once its parts exist.

#include "core/World.h"
#include "display/Colours.h"

class EyeWindow;
class FrameObservers;
class MainView;
class StatePanel;

struct PaintContext {
    const qm::World* world = nullptr;
    const qm::StateColourTable* stateColours = nullptr;
    MainView* mainView = nullptr;
    EyeWindow* eyeWindow = nullptr;
    StatePanel* statePanel = nullptr;
    const FrameObservers* frameObservers = nullptr;  // told of every presented frame
};
