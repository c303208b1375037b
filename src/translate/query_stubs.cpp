// Saved queries (first version: left untranslated).
#include "translate/translate.h"

namespace zl::translate {

QueryTranslation translateQuery(Target, const SavedQuery& query, const ColumnMap&,
                                const NameMapper&) {
    QueryTranslation out;
    out.name = query.name;
    out.reason = "not translated yet";
    return out;
}
std::vector<QueryTranslation> translateQueries(Target target,
                                               const std::vector<SavedQuery>& queries,
                                               const ColumnMap& lookup, const NameMapper& names) {
    std::vector<QueryTranslation> out;
    for (const SavedQuery& q : queries) {
        out.push_back(translateQuery(target, q, lookup, names));
    }
    return out;
}
std::vector<std::size_t> dependencyOrder(const std::vector<std::string>& names,
                                         const std::vector<std::vector<std::string>>&) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        out.push_back(i);
    }
    return out;
}

}  // namespace zl::translate
