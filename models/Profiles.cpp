#include "models/Profiles.h"

namespace tessra::models {

void applyProfile(ControlSurface& surface, int modelIndex) {
    if (modelIndex != static_cast<int>(Model::Orrin) &&
        modelIndex != static_cast<int>(Model::Velda))
        return;
    for (const Assignment& a : profile(static_cast<Model>(modelIndex))) {
        switch (a.kind) {
            case Assignment::Kind::Caption:
                surface.setCaption(a.control, a.caption);
                break;
            case Assignment::Kind::Visible:
                surface.setVisible(a.control, a.flag);
                break;
            case Assignment::Kind::Enabled:
                surface.setEnabled(a.control, a.flag);
                break;
        }
    }
}

}  // namespace tessra::models
