// The map from suite name and version to the host's document-side tables.
#include "host/suite_registry.h"

#include <cstring>

namespace host {

const SuiteOffer kDocumentSuiteOffers[] = {
    {kArtSuiteName, kArtSuiteVersion, &kArtSuiteTable},
    {kLayerSuiteName, kLayerSuiteVersion, &kLayerSuiteTable},
    {kGroupSuiteName, kGroupSuiteVersion, &kGroupSuiteTable},
    {kPathSuiteName, kPathSuiteVersion, &kPathSuiteTable},
    {kPathStyleSuiteName, kPathStyleSuiteVersion, &kPathStyleSuiteTable},
    {kRealMathSuiteName, kRealMathSuiteVersion, &kRealMathSuiteTable},
    {kTransformArtSuiteName, kTransformArtSuiteVersion, &kTransformArtSuiteTable},
    {kTagSuiteName, kTagSuiteVersion, &kTagSuiteTable},
    {kArtConverterSuiteName, kArtConverterSuiteVersion, &kArtConverterSuiteTable},
    {kDocumentSuiteName, kDocumentSuiteVersion, &kDocumentSuiteTable},
    {kDocumentViewSuiteName, kDocumentViewSuiteVersion, &kDocumentViewSuiteTable},
    {kDocumentListSuiteName, kDocumentListSuiteVersion, &kDocumentListSuiteTable},
    {kArtboardSuiteName, kArtboardSuiteVersion, &kArtboardSuiteTable},
    {kUndoSuiteName, kUndoSuiteVersion, &kUndoSuiteTable},
};
const int kDocumentSuiteOfferCount =
    static_cast<int>(sizeof(kDocumentSuiteOffers) / sizeof(kDocumentSuiteOffers[0]));

const void* FindDocumentSuite(const char* name, int32_t version) {
  if (!name) return nullptr;
  for (const SuiteOffer& offer : kDocumentSuiteOffers) {
    if (offer.version == version && std::strcmp(offer.name, name) == 0) return offer.table;
  }
  return nullptr;
}

}  // namespace host
