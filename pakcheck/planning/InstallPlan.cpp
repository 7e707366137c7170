#include "pakcheck/planning/InstallPlan.h"

#include "pakcheck/reading/FileSystem.h"

namespace pakcheck {

namespace installplan {

InstallPlan Make(const std::string& hostDir, const ScriptInfo& script, const CabinInfo& cabin,
                 const std::string& scratch, Findings* findings) {
    InstallPlan plan;
    plan.script = script.file;
    plan.usedBy = script.usedBy;
    PlanFiles(hostDir, script, &plan, findings);
    // Each list step works in a scratch folder of its own.
    const std::string textures = files::Join(scratch, "textures");
    const std::string ground = files::Join(scratch, "ground");
    const std::string cabins = files::Join(scratch, "cabins");
    for (const std::string* folder : {&textures, &ground, &cabins}) {
        files::RemoveTree(*folder);
        files::MakeFolder(*folder);
    }
    plan.textures = PlanTextures(hostDir, script, scriptcheck::kTextureSection, textures, findings);
    plan.groundTextures =
        PlanTextures(hostDir, script, scriptcheck::kGroundSection, ground, findings);
    plan.cabins = PlanCabins(hostDir, cabin, cabins, findings);
    plan.succeeds = true;
    for (const PlannedFile& file : plan.files) {
        if (file.action == PlannedFile::Action::Fail) plan.succeeds = false;
    }
    for (const PlannedList* list : {&plan.textures, &plan.groundTextures, &plan.cabins}) {
        if (list->outcome == PlannedList::Outcome::Fails) plan.succeeds = false;
    }
    return plan;
}

}  // namespace installplan

}  // namespace pakcheck
