// The animation dialog "Vistrel_Animation": asks for the frame file of a mechanism animation.
// PluginApplication::ShowAnimationDialog runs it.
#pragma once
