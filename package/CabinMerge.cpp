#include "package/CabinMerge.h"

CabinMerge::CabinMerge() : list_(false), package_(false) {}

bool CabinMerge::Prepare(const std::string& hostList, const std::string& packageList) {
    if (prepared_ || list_.Load(hostList.c_str(), 0, 0) < 0 ||
        package_.Load(packageList.c_str(), 0, 0) < 0) {
        return false;
    }
    hostList_ = hostList;
    for (const auto& node : package_.nodes()) {
        if (node->kind() == NodeKind::Section) names_.insert(node->name().bytes());
    }
    oldSections_ = SectionBytes();
    // The second load merges: the package's sections and keys come in.
    if (list_.Load(packageList.c_str(), 0, 0) < 0) return false;
    prepared_ = true;
    return true;
}

std::string CabinMerge::SectionBytes() const {
    std::string bytes;
    const auto& nodes = list_.nodes();
    for (const auto& node : nodes) {
        if (node->kind() != NodeKind::Section || names_.count(node->name().bytes()) == 0) continue;
        if (bytes.empty() && list_.utf8Mark() && node == nodes[0]) bytes = "\xEF\xBB\xBF";
        bytes += list_.SavedSectionBytes(node.get());
    }
    return bytes;
}

std::string CabinMerge::NewSectionBytes() const {
    return prepared_ ? SectionBytes() : std::string();
}

const std::string& CabinMerge::MergedBytes() {
    if (prepared_ && !mergedKnown_) {
        merged_ = list_.SavedBytes();
        mergedKnown_ = true;
    }
    return merged_;
}

bool CabinMerge::Write() {
    if (!prepared_) return false;
    if (mergedKnown_) return list_.SaveBytes(hostList_.c_str(), merged_) >= 0;
    return list_.Save(hostList_.c_str()) >= 0;
}
