#include "parser.h"

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "access_class.h"
#include "constants.h"
#include "ownership.h"
#include "property_builder.h"
#include "property_list.h"
#include "struct_arrays.h"
#include "tedskit/orlin.hpp"
#include "token_cursor.h"

namespace orlin_detail {
namespace {

// Select cases and struct arrays nest by recursion; this bound keeps the call stack
// safe on hostile input while staying far above anything a real template needs.
constexpr int kMaxNesting = 200;

// Where the properties of the statement being read go: the innermost open case, or
// else the template.
struct Target {
  CTDLTemplate* tmpl;
  CTDLCase* inCase;
  void add(CTDLProperty* p) const {
    if (inCase != nullptr) {
      inCase->addProperty(p);
    } else {
      tmpl->addProperty(p);
    }
  }
};

// A case being read owns its properties and description until ENDCASE hands it to its
// select case.
struct OpenCase {
  std::unique_ptr<CTDLCase> c = std::make_unique<CTDLCase>();
  ~OpenCase() {
    if (!c) return;
    destroyPropertyList(c->m_properties);
    delete[] c->m_description;
  }
};

class Parser : public TokenCursor {
 public:
  Parser(Reader reader, CTDLTemplateCollection& into) : TokenCursor(std::move(reader)), collection_(into) {}

  void parseFile() {
    advance();
    commentLines();
    for (;;) {
      if (la_ == Tok::Template) {
        templateBlock();
        commentLines();
      } else if (la_ == Tok::ValidationKeycode) {
        advance();
        expect(Tok::Integer);
        break;
      } else {
        fail();
      }
    }
    newlines();
    expect(Tok::End);
  }

 private:
  // The optional access keyword, as the canonical text setAccess expects.
  std::string accessPart() {
    if (accept(Tok::Id)) return "ID";
    if (accept(Tok::Cal)) return "CAL";
    if (accept(Tok::Usr)) return "USR";
    return {};
  }

  void templateBlock() {
    // Kept by the library before the collection lists it, so that a failed allocation
    // on either step loses nothing.
    auto owned = std::make_unique<CTDLTemplate>();
    CTDLTemplate* t = owned.get();
    adoptTemplate(t);
    owned.release();
    collection_.m_templates.push_back(t);
    advance();

    const int32_t first = toInt(take(Tok::Integer));
    sep();
    const int32_t idWidth = toInt(take(Tok::Integer));
    sep();
    const int32_t id = toInt(take(Tok::Integer));
    expect(Tok::Comma);
    std::string description;
    if (la_ == Tok::String) description = take(Tok::String);
    t->m_firstNumber = first;
    t->m_idBitWidth = idWidth;
    t->m_templateID = id;
    t->addDescription(unquoted(description).c_str());
    expect(Tok::Newline);
    newlines();

    statements(Target{t, nullptr}, 0);
    expect(Tok::EndTemplate);
    auto end = buildEndOfTemplateProperty();
    t->addProperty(end.get());
    end.release();
  }

  void statements(const Target& target, int depth) {
    for (;;) {
      switch (la_) {
        case Tok::AbstractLine:
          advance();
          expect(Tok::Newline);
          break;
        case Tok::Align:
        case Tok::TdlVersionNumber:
          advance();
          expect(Tok::Integer);
          break;
        case Tok::CommentLine:
        case Tok::Spacing:
          advance();
          break;
        case Tok::Enumerate:
          enumerateStatement(*target.tmpl);
          break;
        case Tok::PhysicalUnit:
          advance();
          expect(Tok::String);
          sep();
          unitTuple();
          break;
        case Tok::Label:
          propertyStatement(target);
          break;
        case Tok::SelectCase:
          selectCaseBlock(target, depth + 1);
          break;
        case Tok::StructArray:
          structArrayBlock(target, depth + 1);
          break;
        case Tok::Ugid:
          advance();
          expect(Tok::String);
          sep();
          expect(Tok::String);
          break;
        default:
          return;
      }
      newlines();
    }
  }

  void enumerateStatement(CTDLTemplate& t) {
    advance();
    auto e = std::make_unique<CTDLEnumeration>();
    e->setDescription(take(Tok::Ident).c_str());
    CTDLEnumeration* table = e.get();
    t.addEnumeration(table);
    e.release();
    do {
      sep();
      enumItem(*table);
    } while (la_ == Tok::Comma);
  }

  void enumItem(CTDLEnumeration& e) {
    switch (la_) {
      case Tok::String:
        e.addEnumerate(adoptItemText(unquoted(text())));
        break;
      case Tok::Ident:
      case Tok::Float:
      case Tok::Integer:
        e.addEnumerate(adoptItemText(text()));
        break;
      default:
        fail();
    }
    advance();
  }

  // Twelve numbers in parentheses; read and dropped.
  void unitTuple() {
    expect(Tok::LParen);
    newlines();
    number();
    for (int i = 0; i < 11; ++i) {
      sep();
      number();
    }
    newlines();
    expect(Tok::RParen);
  }

  void propertyStatement(const Target& target) {
    PropertyStatement st;
    st.label = take(Tok::Label);
    if (accept(Tok::LBracket)) {
      switch (la_) {
        case Tok::Default:
        case Tok::Initialize:
        case Tok::ReadWrite:
        case Tok::CtrlFunctionMask:
        case Tok::String:
        case Tok::FunctionType:
        case Tok::Function:
          advance();
          break;
        default:
          fail();
      }
      expect(Tok::RBracket);
      newlines();
    }
    sep();

    if (la_ == Tok::String) {
      st.description = take(Tok::String);
    } else if (la_ == Tok::Label) {
      const std::string label = take(Tok::Label);
      expect(Tok::LBracket);
      const std::string text = take(Tok::String);
      expect(Tok::RBracket);
      st.description = " " + label + "[" + text + "]";
      if (st.description.size() > kTextLimit) st.description.resize(kTextLimit);
    }
    sep();
    st.access = accessPart();
    sep();
    st.widthText = take(Tok::Integer);
    sep();

    st.type = la_;
    switch (la_) {
      case Tok::Unint:
      case Tok::Chr5:
      case Tok::Date:
      case Tok::Ascii:
      case Tok::String5:
      case Tok::String7:
      case Tok::String16:
      case Tok::Single:
      case Tok::Unicode:
      case Tok::BitBin:
        advance();
        break;
      case Tok::ConRelRes:
      case Tok::ConRes:
        advance();
        sep();
        st.start = number();
        sep();
        st.step = number();
        break;
      case Tok::Ident:
        st.enumName = take(Tok::Ident);
        break;
      default:
        fail();
    }
    sep();
    if (la_ == Tok::String) st.format = take(Tok::String);
    expect(Tok::Comma);
    if (la_ == Tok::String) {
      st.units = take(Tok::String);
    } else if (la_ == Tok::LParen) {
      unitTuple();
    }
    if (accept(Tok::Equals)) {
      newlines();
      switch (la_) {
        case Tok::HexNum:
        case Tok::BinNum:
        case Tok::Ident:
        case Tok::Float:
        case Tok::Integer:
        case Tok::String:
          st.defaultValue = std::string(text());
          advance();
          break;
        default:
          fail();
      }
      st.hasDefault = true;
    }

    if (auto p = buildProperty(st, *target.tmpl)) {
      target.add(p.get());
      p.release();
    } else if (st.hasDefault) {
      // A value and no bits: a constant, kept beside the list it stands in.
      TDLConstant constant = constantOf(st, *target.tmpl);
      const void* owner = target.inCase != nullptr ? static_cast<const void*>(target.inCase) : target.tmpl;
      constant.before = static_cast<int32_t>(target.inCase != nullptr ? target.inCase->m_properties.size()
                                                                       : target.tmpl->m_properties.size());
      noteConstant(owner, constant,
                   {unquoted(st.description), unquoted(st.defaultValue), unquoted(st.units), st.access});
    }
  }

  void selectCaseBlock(const Target& target, int depth) {
    if (depth > kMaxNesting) fail("nesting too deep");
    advance();
    const std::string description = take(Tok::String);
    sep();
    // The keyword leaves the select case's access as it is; only its class is kept.
    const std::string access = accessPart();
    sep();
    const int32_t width = toInt(take(Tok::Integer));
    auto sc = std::make_unique<CTDLSelectCase>();
    noteAccessClass(sc.get(), access.c_str());
    sc->setDescription(unquoted(description).c_str());
    sc->setBitWidth(width);
    newlines();
    while (la_ == Tok::Case) caseBlock(*sc, *target.tmpl, depth);
    expect(Tok::EndSelect);
    target.add(sc.get());
    sc.release();
  }

  void caseBlock(CTDLSelectCase& sc, CTDLTemplate& t, int depth) {
    advance();
    const std::string description = take(Tok::String);
    sep();
    const int32_t value = toInt(take(Tok::Integer));
    OpenCase open;
    open.c->setbitvalue(value);
    open.c->addDescription(unquoted(description).c_str());
    newlines();
    statements(Target{&t, open.c.get()}, depth);
    expect(Tok::EndCase);
    sc.addCase(open.c.get());
    open.c.release();
    newlines();
  }

  // A struct array builds no object of its own: its members join the enclosing list. An
  // array of the template itself is noted beside it, with the run of members it repeats.
  void structArrayBlock(const Target& target, int depth) {
    if (depth > kMaxNesting) fail("nesting too deep");
    advance();
    expect(Tok::Ident);
    sep();
    const std::string description = take(Tok::String);
    sep();
    accessPart();
    sep();
    const int32_t countWidth = toInt(take(Tok::Integer));
    const auto first = static_cast<int32_t>(target.tmpl->m_properties.size());
    newlines();
    for (;;) {
      if (la_ == Tok::Label) {
        propertyStatement(target);
      } else if (la_ == Tok::StructArray) {
        structArrayBlock(target, depth + 1);
      } else {
        break;
      }
      newlines();
    }
    expect(Tok::EndStructArray);
    if (target.inCase == nullptr) {
      const auto count = static_cast<int32_t>(target.tmpl->m_properties.size()) - first;
      noteStructArray(target.tmpl, TDLStructArray{first, count, countWidth, nullptr}, unquoted(description));
    }
  }

  CTDLTemplateCollection& collection_;
};

}  // namespace

ParseOutcome parseTdl(Reader reader, CTDLTemplateCollection& into) {
  Parser parser(std::move(reader), into);
  try {
    parser.parseFile();
    return ParseOutcome::Accepted;
  } catch (const ParseStop& stop) {
    const std::string token(parser.text());
    std::fprintf(stderr, "ERROR: %s at '%s' in statement %d.\n", stop.message, token.c_str(),
                 parser.statement());
    return ParseOutcome::SyntaxError;
  } catch (const ScanFailure& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
    return ParseOutcome::ScannerFailed;
  }
}

}  // namespace orlin_detail
