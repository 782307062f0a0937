// The chained templates of a Document: cutting them out of the image for the engine,
// putting them back, and editing them.
#include <cmath>

#include "document.h"
#include "latin1.h"
#include "tdl_walk.h"
#include "tedskit/tedsinfo.hpp"
#include "value_check.h"

namespace teds {
namespace {

// Body bits the engine's memory has room for: its template data ends at bit 20480 of a
// memory that starts with the checksum byte.
constexpr int64_t kChecksumBits = 8;
constexpr int64_t kBodyRoomBits = kTedsTemplateDataEndBit - kChecksumBits;
constexpr uint64_t kEndOfTemplates = 3;
constexpr int kSelectorBits = 2;

CTDLTemplateCollection* loadedTemplates() {
  CTEDSInfo* info = gTedsinfoptr;
  if (info == nullptr || info->templateCollections.empty()) return nullptr;
  return info->templateCollections.front();
}

}  // namespace

const CTDLTemplate* loadedTemplate(int templateId) {
  CTEDSInfo* info = gTedsinfoptr;
  if (info == nullptr) return nullptr;
  for (CTDLTemplateCollection* collection : info->templateCollections) {
    if (CTDLTemplate* found = collection != nullptr ? collection->findTemplate(templateId) : nullptr)
      return found;
  }
  return nullptr;
}

int64_t Document::firstTemplateEnd(const TedsImage& base) {
  const CTDLTemplate* tmpl = loadedTemplate(base.templateId());
  if (tmpl == nullptr) return -1;
  const auto memory = v10Memory(base);
  TdlWalk walk(memory, [](const CTDLProperty*, int64_t) {}, [](const CTDLSelectCase*) { return false; });
  walk.properties(tmpl->m_properties, true);
  return walk.cursor - kChecksumBits;
}

Teds Document::splitAndDecode(bool forceV10) {
  if ((forceV10 || image_.wantsV10Engine()) && !image_.isLms()) {
    try {
      engine_.enterV10();
    } catch (const Failure&) {
      return engine_.decode(base_, forceV10);  // which says why the templates did not load
    }
    cut_ = firstTemplateEnd(image_);
    CTDLTemplateCollection* templates = loadedTemplates();
    if (cut_ >= 0 && templates != nullptr) {
      // The image's trailing zero bytes hold nothing to move.
      BitString body(image_.body, 0, static_cast<int64_t>(image_.usedBodySize()) * 8);
      if (cut_ < body.size()) {
        if (auto chain = readChain(body.slice(cut_, body.size() - cut_), *templates)) {
          chain_ = std::move(*chain);
          body.erase(cut_, chain_.bits.size());
          base_.body = body.bytes(image_.body.size());
          base_.body.resize(image_.body.size());
        }
      }
    }
  }
  return engine_.decode(base_, forceV10);
}

TedsImage Document::joined(const TedsImage& base, const BitString& chainBits, int64_t& cut) {
  if (chainBits.size() == 0) return base;
  cut = firstTemplateEnd(base);
  if (cut < 0) throw Failure("cannot find where the first template ends");
  BitString body(base.body, 0, std::max<int64_t>(static_cast<int64_t>(base.usedBodySize()) * 8, cut));
  // The chain ends where the image's end selector stands; an image without one gets it.
  if (body.read(cut, kSelectorBits) != kEndOfTemplates) {
    BitString end;
    end.append(kEndOfTemplates, kSelectorBits);
    body.insert(cut, end);
  }
  body.insert(cut, chainBits);
  const int64_t used = std::max(body.usedSize(), cut + chainBits.size() + kSelectorBits);
  if (used > kBodyRoomBits) {
    throw Failure("the chained templates do not fit: the template data would take " + std::to_string(used) +
                  " bits, and a TEDS memory holds " + std::to_string(kBodyRoomBits));
  }
  TedsImage whole = base;
  whole.body = body.bytes();
  whole.body.resize(std::max(base.body.size(), static_cast<std::size_t>((used + 7) / 8)));
  return whole;
}

void Document::replaceChain(BitString bits) {
  CTDLTemplateCollection* templates = loadedTemplates();
  if (templates == nullptr) throw Failure("the TDL templates are not loaded");
  Chain chain = rereadChain(std::move(bits), *templates);
  int64_t cut = cut_;
  TedsImage whole = joined(base_, chain.bits, cut);
  chain_ = std::move(chain);
  cut_ = cut;
  image_ = std::move(whole);
  refresh();
}

std::vector<std::string> Document::setChained(const FieldView& field, std::string_view value) {
  const FieldModel model = field.model;  // field goes with the fields it lies in
  std::size_t at = static_cast<std::size_t>(model.index - chainFirst_);
  std::size_t t = 0;
  while (t < chain_.templates.size() && at >= chain_.templates[t].items.size())
    at -= chain_.templates[t++].items.size();
  const ChainedTemplate& chained = chain_.templates.at(t);
  const ChainItem& item = chained.items.at(at);
  if (!item.settable) {
    throw ValueRefused(quotedLabel(model) + " is kept as template " + std::to_string(chained.id) +
                       " lays it out; it cannot be set");
  }
  CheckedValue checked = checkValue(model, trim(value));
  BitString bits = chain_.bits;
  if (item.count) {
    const uint64_t wanted = std::stoull(checked.engineText);
    const uint64_t had = item.raw;
    const int64_t end = had > 0 ? item.elementEnds.back() : item.elementsStart;
    if (wanted > had) {
      BitString added;
      for (uint64_t k = had; k < wanted; ++k) added.append(item.blankElement);
      bits.insert(end, added);
    } else if (wanted < had) {
      const int64_t keep = wanted > 0 ? item.elementEnds[wanted - 1] : item.elementsStart;
      bits.erase(keep, end - keep);
    }
    bits.write(item.offset, item.model.bitWidth, wanted);
  } else {
    bits.write(item.offset, item.model.bitWidth, chainRawValue(model, checked.engineText));
  }
  replaceChain(std::move(bits));
  const FieldView& stored = fields_[static_cast<std::size_t>(model.index)];
  if (stored.model.kind == ValueKind::Real) {
    const std::string wanted = formatNumber(stored.model, std::strtod(checked.engineText.c_str(), nullptr));
    if (stored.value.display != wanted) {
      checked.notes.push_back(quotedLabel(stored.model) + " is stored as " + stored.value.display +
                              (stored.model.units.empty() ? "" : " " + stored.model.units) + ", not " +
                              std::string(trim(value)));
    }
  }
  return checked.notes;
}

void Document::addTemplate(int templateId) {
  if (teds_.engine != EngineKind::V10) {
    throw Failure("templates are chained after a TDL template only; template " +
                  std::to_string(teds_.fields->array.templateID) + " is decoded by the " +
                  engineName(teds_.engine) + " engine");
  }
  CTDLTemplateCollection* templates = loadedTemplates();
  CTDLTemplate* tmpl = templates != nullptr ? templates->findTemplate(templateId) : nullptr;
  if (tmpl == nullptr) throw Failure("no TDL template " + std::to_string(templateId) + " to chain");
  BitString bits = chain_.bits;
  bits.append(blankTemplate(*tmpl));
  replaceChain(std::move(bits));
}

void Document::removeTemplate(int position) {
  const int chained = static_cast<int>(chain_.templates.size());
  if (position < 1 || position > chained) {
    throw Failure("no chained template " + std::to_string(position) + ": the TEDS has " +
                  std::to_string(chained));
  }
  const ChainedTemplate& gone = chain_.templates[static_cast<std::size_t>(position - 1)];
  BitString bits = chain_.bits;
  bits.erase(gone.start, gone.end - gone.start);
  replaceChain(std::move(bits));
}

}  // namespace teds
