#include "data/relations.h"

namespace mvz {

const std::vector<Relation>& standardRelations() {
    static const std::vector<Relation> relations = {
        {"POS", "RAD", "KEYRBRFIRME", {{"REDBROJ", "REDBROJ"}}, rule::None, rule::Cascade},
        {"A", "OSI", "KEYOBRGODMJE", {{"KONVEZA", "KONVEZA"}}, rule::None, rule::Cascade},
        {"RAD", "OSI", "KEYJMBG", {{"JMBG", "JMBG"}}, rule::None, rule::None},
        {"ULZ", "ULZ1", "KEYVRSTA", {{"REDBROJ", "REDBROJ"}}, rule::None, rule::None},
        {"PGR", "GRE", "KEYTIP", {{"REDBROJ", "TIP"}}, rule::None, rule::None},
        {"VOB", "STA2", "KEYVOB_VOI", {{"SIFRA", "VOB"}}, rule::None, rule::None},
        {"VOB", "VEZ", "KEYVOB_VOI", {{"SIFRA", "VOB"}}, rule::None, rule::None},
        {"VUP", "VEZ", "KEYVOI_OO", {{"SIFRA", "VOI"}}, rule::None, rule::None},
        {"TBO", "VEZ", "KEYOO_VOB", {{"SIFRA", "OO"}}, rule::None, rule::None},
        {"STA2", "STA3", "KEYOO", {{"VOB", "VOB"}, {"VOI", "VOI"}}, rule::None, rule::None},
    };
    return relations;
}

} // namespace mvz
