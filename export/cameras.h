// Cameras of the model's views: the current view's and one per saved view, written by
// PluginApplication::ExportCameras (export/cameras.cpp). Every camera has the same setup in its
// own space; only its name and its transform set it apart.
#pragma once

#include "toolkit/pro_toolkit.h"

// The name of the current view's camera.
constexpr const char* kCurrentViewCameraName = "Current Creo camera";

// The camera transform of a view matrix: its inverse with the translation set to 0, so the view's
// orientation and scale reach the camera and its pan does not. A matrix without an inverse (no
// usable scale) gives the identity. Answers whether the view matrix could be inverted.
bool CameraTransformOfView(const ProMatrix& view, ProMatrix camera);
