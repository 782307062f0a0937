#include "chain.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "base/calendar.h"
#include "base/chr5.h"
#include "base/template_notes.h"
#include "failure.h"
#include "latin1.h"
#include "tedskit/records.h"
#include "tedskit/tedsinfo.hpp"

namespace teds {
namespace {

constexpr int kSelectorBits = 2;
constexpr int kTemplateIdBits = 8;
constexpr uint64_t kTemplateFollows = 0;
constexpr uint64_t kEndOfTemplates = 3;

// No TEDS memory holds more elements than it has bits.
constexpr int64_t kMostElements = kTedsTemplateDataEndBit;

// A chained template's data is no larger than a TEDS memory.
class PastTheEnd : public std::exception {};

std::string unquotedUtf8(const char* text) {
  std::string out = latin1ToUtf8(text == nullptr ? "" : text);
  if (out.size() >= 2 && out.front() == '"' && out.back() == '"') out = out.substr(1, out.size() - 2);
  return out;
}

FieldModel modelOf(CTDLProperty& property, std::string label, int width) {
  FieldModel model;
  model.label = std::move(label);
  model.units = unquotedUtf8(property.getUnits());
  const std::string access = property.getAccessClass();
  model.access = access.empty() ? "CAL" : access;
  model.identification = access == "ID";
  model.bitWidth = width;
  const dUnion& def = property.m_dataDef;
  switch (property.m_dataType) {
    case DT_ENUMERATION:
      model.kind = ValueKind::Enumeration;
      model.datatype = TEDS_DT_ENUMERATION;
      if (def.enumeration != nullptr) {
        for (const char* item : def.enumeration->m_items) model.choices.push_back(unquotedUtf8(item));
      }
      break;
    case DT_CONRES:
    case DT_CONRELRES: {
      const bool linear = property.m_dataType == DT_CONRES;
      model.kind = ValueKind::Real;
      model.datatype = linear ? TEDS_DT_CONRES : TEDS_DT_CONRELRES;
      model.scale = linear ? NumberScale::Linear : NumberScale::Relative;
      model.start = def.startValue;
      model.step = def.resolution;
      break;
    }
    case DT_SINGLE:
      model.kind = ValueKind::Real;
      model.scale = NumberScale::Single;
      break;
    case DT_DATE:
      model.kind = ValueKind::Date;
      model.datatype = TEDS_DT_DATE;
      break;
    case DT_CHR5:
      model.kind = ValueKind::Text;
      model.datatype = TEDS_DT_CHR5;
      model.chr5 = true;
      model.textRoom = width / 5;
      break;
    case DT_ASCII:
      model.kind = ValueKind::Text;
      model.datatype = TEDS_DT_ASCII;
      model.textRoom = width / 7;
      break;
    default:
      model.datatype = TEDS_DT_UNINT;
      break;
  }
  settleRange(model);
  return model;
}

TypedValue valueOf(const FieldModel& model, uint64_t raw, const BitString& bits, int64_t offset) {
  TypedValue value;
  value.kind = model.kind;
  switch (model.kind) {
    case ValueKind::Integer:
      value.integer = static_cast<int64_t>(raw);
      value.display = std::to_string(raw);
      break;
    case ValueKind::Enumeration:
      value.integer = static_cast<int64_t>(raw);
      if (raw < model.choices.size()) value.text = model.choices[static_cast<std::size_t>(raw)];
      value.display = value.text.empty() ? std::to_string(raw) : value.text;
      break;
    case ValueKind::Real:
      switch (model.scale) {
        case NumberScale::Linear:
          value.real = model.start + static_cast<double>(raw) * model.step;
          break;
        case NumberScale::Relative:
          value.real = model.start * std::pow(1.0 + 2.0 * model.step, static_cast<double>(raw));
          break;
        default: {
          // A single shows as the shortest text that reads back as the same single.
          const float single = std::bit_cast<float>(static_cast<uint32_t>(raw));
          value.real = single;
          char text[32];
          const auto done = std::to_chars(text, text + sizeof text, single);
          value.display = std::string(text, done.ptr);
          return value;
        }
      }
      value.display = formatNumber(model, value.real);
      break;
    case ValueKind::Date:
      value.integer = static_cast<int64_t>(raw);
      value.text = tedskit::base::isoDateText(value.integer);
      value.display = value.text;
      break;
    case ValueKind::Text: {
      const int characterBits = model.chr5 ? 5 : 7;
      for (int at = 0; at + characterBits <= model.bitWidth; at += characterBits) {
        const uint64_t code = bits.read(offset + at, characterBits);
        if (model.chr5) {
          value.text += tedskit::base::chr5Char(code);
        } else if (code == 0) {
          break;
        } else {
          value.text += static_cast<char>(code);
        }
      }
      value.text = latin1ToUtf8(value.text);
      value.display = value.text;
      break;
    }
  }
  return value;
}

// Reads one template's data, or writes a new one (blank) while walking it the same way.
class TemplateReader {
 public:
  TemplateReader(const BitString* bits, CTDLTemplate& tmpl, int64_t at)
      : bits_(bits), tmpl_(tmpl), arrays_(tmpl.getStructArrays()), cursor_(at) {}

  void read(std::vector<ChainItem>& items) {
    items_ = &items;
    range(0, ownFields(), "", -1);
  }

  BitString blank() {
    BitString out;
    blank_ = &out;
    range(0, ownFields(), "", -1);
    return out;
  }

  int64_t cursor() const { return cursor_; }

 private:
  // The template's own fields: not the open-length user data that closes it.
  int ownFields() const {
    const auto& list = tmpl_.m_properties;
    int end = static_cast<int>(list.size());
    if (end > 0 && list.back() != nullptr && list.back()->getPropertyType() == PT_USER &&
        list.back()->getBitWidth() == -1) {
      --end;
    }
    return end;
  }

  // The outermost array that begins at i inside [begin, end), other than the one being read.
  int arrayAt(int i, int begin, int end, int within) const {
    for (int k = 0; k < static_cast<int>(arrays_.size()); ++k) {
      const TDLStructArray& a = arrays_[static_cast<std::size_t>(k)];
      if (a.first != i || a.first + a.count > end) continue;
      if (i == begin && k <= within) continue;
      return k;
    }
    return -1;
  }

  // A new field holds the number 0 where its scale reaches it, else its lowest value.
  static uint64_t zeroOf(const CTDLProperty* property, int width) {
    if (property == nullptr || property->m_dataType != DT_CONRES || width > 63) return 0;
    const double start = property->m_dataDef.startValue;
    const double step = property->m_dataDef.resolution;
    if (!(start < 0) || !(step > 0)) return 0;
    const double n = std::round(-start / step);
    return n > std::ldexp(1.0, width) - 1 ? 0 : static_cast<uint64_t>(n);
  }

  uint64_t take(int width, int64_t& offset, const CTDLProperty* property = nullptr) {
    offset = cursor_;
    uint64_t value = 0;
    if (blank_ != nullptr) {
      blank_->append(zeroOf(property, width), width);
    } else {
      if (cursor_ + width > bits_->size()) throw PastTheEnd();
      value = width <= 64 ? bits_->read(cursor_, width) : 0;
    }
    cursor_ += width;
    return value;
  }

  void range(int begin, int end, const std::string& prefix, int within) {
    for (int i = begin; i < end;) {
      const int k = arrayAt(i, begin, end, within);
      if (k < 0) {
        if (CTDLProperty* property = tmpl_.m_properties[static_cast<std::size_t>(i)]) one(*property, prefix);
        ++i;
        continue;
      }
      const TDLStructArray a = arrays_[static_cast<std::size_t>(k)];
      array(a, k, prefix);
      i = a.first + a.count;
    }
  }

  void array(const TDLStructArray& a, int k, const std::string& prefix) {
    const std::string label = prefix + latin1ToUtf8(a.description == nullptr ? "" : a.description);
    ChainItem item;
    item.count = true;
    uint64_t elements = 1;
    if (blank_ != nullptr) {
      item.offset = cursor_;
      blank_->append(elements, a.countBitWidth);
      cursor_ += a.countBitWidth;
    } else {
      elements = take(a.countBitWidth, item.offset);
    }
    item.raw = elements;
    item.model.label = label;
    item.model.access = "CAL";
    item.model.bitWidth = a.countBitWidth;
    item.model.datatype = TEDS_DT_UNINT;
    settleRange(item.model);
    item.model.minimum = 1;  // an array holds at least one element
    item.value = valueOf(item.model, elements, BitString{}, 0);
    item.elementsStart = cursor_;
    const std::size_t at = items_ != nullptr ? items_->size() : 0;
    if (items_ != nullptr) items_->push_back(item);
    for (uint64_t e = 0; e < elements; ++e) {
      // Elements of no bits (an array of nothing but constants) could repeat without end.
      if (++elementsRead_ > kMostElements) throw PastTheEnd();
      std::string element = label;
      element.append("[").append(std::to_string(e + 1)).append("].");
      range(a.first, a.first + a.count, element, k);
      if (items_ != nullptr) (*items_)[at].elementEnds.push_back(cursor_);
    }
    if (items_ != nullptr) {
      TemplateReader writer(nullptr, tmpl_, 0);
      BitString element;
      writer.blank_ = &element;
      writer.range(a.first, a.first + a.count, "", k);
      (*items_)[at].blankElement = std::move(element);
    }
  }

  // A property's field model, built once for all the elements that repeat it; its label
  // is kept apart, to be put behind each element's prefix.
  struct Model {
    FieldModel model;  // without its label
    std::string label;
  };
  const Model& modelFor(CTDLProperty& property, int width) {
    auto [at, made] = models_.try_emplace(&property);
    if (made) {
      at->second.model = modelOf(property, {}, width);
      at->second.label = latin1ToUtf8(property.getStructLabel() == nullptr ? "" : property.getStructLabel());
    }
    return at->second;
  }

  void one(CTDLProperty& property, const std::string& prefix) {
    if (property.getPropertyType() == PT_SELECTCASE) {
      auto& select = static_cast<CTDLSelectCase&>(property);
      ChainItem item;
      const uint64_t chosen = take(select.getBitWidth(), item.offset);
      item.raw = chosen;
      item.settable = false;
      item.model.label = latin1ToUtf8(select.getDescription() == nullptr ? "" : select.getDescription());
      item.model.label = prefix + item.model.label;
      item.model.kind = ValueKind::Enumeration;
      item.model.datatype = TEDS_DT_ENUMERATION;
      item.model.access = select.getAccessClass()[0] != '\0' ? select.getAccessClass() : "CAL";
      item.model.bitWidth = select.getBitWidth();
      for (CTDLCase* c : select.m_cases)
        item.model.choices.push_back(unquotedUtf8(c != nullptr ? c->getDescription() : ""));
      settleRange(item.model);
      item.value = valueOf(item.model, chosen, BitString{}, 0);
      if (items_ != nullptr) items_->push_back(std::move(item));
      if (chosen >= select.m_cases.size() || select.m_cases[chosen] == nullptr) throw PastTheEnd();
      for (CTDLProperty* inner : select.m_cases[chosen]->m_properties) {
        if (inner != nullptr) one(*inner, prefix);
      }
      return;
    }
    const int width = property.getBitWidth();
    if (width < 0) throw PastTheEnd();  // open length belongs to the end of the chain only
    ChainItem item;
    item.raw = take(width, item.offset, &property);
    if (items_ == nullptr) return;
    const Model& model = modelFor(property, width);
    item.model = model.model;
    item.model.label.reserve(prefix.size() + model.label.size());
    item.model.label.append(prefix).append(model.label);
    item.settable = width <= 64 && item.model.kind != ValueKind::Text && item.model.kind != ValueKind::Date;
    item.value = valueOf(item.model, item.raw, *bits_, item.offset);
    items_->push_back(std::move(item));
  }

  const BitString* bits_;
  CTDLTemplate& tmpl_;
  std::vector<TDLStructArray> arrays_;
  int64_t cursor_;
  std::vector<ChainItem>* items_ = nullptr;
  BitString* blank_ = nullptr;
  int64_t elementsRead_ = 0;
  std::unordered_map<const CTDLProperty*, Model> models_;
};

// Reads the chain from the start of bits; the position of the selector that ends it.
std::optional<int64_t> readTemplates(const BitString& bits, CTDLTemplateCollection& templates,
                                     std::vector<ChainedTemplate>& out) {
  int64_t at = 0;
  try {
    while (at + kSelectorBits <= bits.size() && bits.read(at, kSelectorBits) == kTemplateFollows) {
      ChainedTemplate chained;
      chained.start = at;
      chained.id = static_cast<int>(bits.read(at + kSelectorBits, kTemplateIdBits));
      CTDLTemplate* tmpl = templates.findTemplate(chained.id);
      if (tmpl == nullptr) return std::nullopt;
      chained.name = unquotedUtf8(tmpl->m_description);
      chained.provisional = tedskit::base::provisionalNote(
          chained.id, tmpl->m_description == nullptr ? "" : tmpl->m_description);
      TemplateReader reader(&bits, *tmpl, at + kSelectorBits + kTemplateIdBits);
      reader.read(chained.items);
      at = reader.cursor();
      chained.end = at;
      out.push_back(std::move(chained));
    }
  } catch (const PastTheEnd&) {
    return std::nullopt;
  }
  return at;
}

}  // namespace

std::optional<Chain> readChain(const BitString& rest, CTDLTemplateCollection& templates) {
  if (rest.read(0, kSelectorBits) != kTemplateFollows) return std::nullopt;
  Chain chain;
  const auto end = readTemplates(rest, templates, chain.templates);
  if (!end || chain.templates.empty() || rest.read(*end, kSelectorBits) != kEndOfTemplates)
    return std::nullopt;
  chain.bits = rest.slice(0, *end);
  return chain;
}

Chain rereadChain(BitString bits, CTDLTemplateCollection& templates) {
  Chain chain;
  chain.bits = std::move(bits);
  const auto end = readTemplates(chain.bits, templates, chain.templates);
  if (!end || *end != chain.bits.size())
    throw Failure("the chained templates do not read back as they were written");
  return chain;
}

BitString blankTemplate(const CTDLTemplate& tmpl) {
  BitString out;
  out.append(kTemplateFollows, kSelectorBits);
  out.append(static_cast<uint64_t>(tmpl.m_templateID), kTemplateIdBits);
  TemplateReader writer(nullptr, const_cast<CTDLTemplate&>(tmpl), 0);
  out.append(writer.blank());
  return out;
}

uint64_t chainRawValue(const FieldModel& model, const std::string& engineText) {
  const double top = model.bitWidth >= 64 ? 0x1p64 : std::ldexp(1.0, model.bitWidth) - 1;
  const auto clamped = [&](double n) {
    if (!std::isfinite(n) || n < 0) return uint64_t{0};
    return n >= top ? static_cast<uint64_t>(top) : static_cast<uint64_t>(std::llround(n));
  };
  if (model.kind != ValueKind::Real) return std::stoull(engineText);
  const double value = std::strtod(engineText.c_str(), nullptr);
  switch (model.scale) {
    case NumberScale::Linear:
      return clamped((value - model.start) / model.step);
    case NumberScale::Relative:
      return clamped(std::log(value / model.start) / std::log(1.0 + 2.0 * model.step));
    default:
      return std::bit_cast<uint32_t>(static_cast<float>(value));
  }
}

}  // namespace teds
