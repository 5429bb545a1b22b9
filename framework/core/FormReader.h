// Reads a stored window description (text) into a root component.
//
//   object Form1: TForm1                 // the root: its class must be the root's (or a parent)
//     Caption = 'Corvane Vantor'         // properties apply in the order stored, via setters
//     Color = clBtnFace                  // identifiers: enumerations, booleans, colour names,
//     Font.Name = 'Tahoma'               //   component references, handler names; dotted
//     Font.Style = [fsBold]              //   paths reach sub-objects; sets in [ ]
//     Hint = 'Line one'#13#10'two'       // strings: '..' ('' is a quote), #nn characters, + joins
//     Tag = -12                          // integers: decimal or $hex
//     PopupMenu = PopupMenu1             // a reference, resolved once everything is read
//     OnCreate = FormCreate              // an event: a handler method published by the root
//     Lines.Strings = ('first' 'second') // a string list (Lines = (...) means the same)
//     Picture.Data = {0A1B2C}            // binary data as hex digits (may span lines)
//     Columns = <                        // a collection: each item block adds one item
//       item Caption = 'A' Width = 40 end
//       item Caption = 'B' end>
//     object Button1: TButton            // a child: created by registered class name, owned by
//       Caption = 'Go'                   //   the root, SetParentComponent(enclosing object)
//     end                                //   called before its properties
//   end
//
// Line comments start with //. Every component read gets csLoading and csReading while it
// is read; afterwards references and events are resolved, csReading is cleared and Loaded()
// runs on each created component in the order read, then on the root.
// Any error raises EParserError naming the line: malformed text, unknown classes and
// properties, values that do not fit, references to missing components.
#pragma once

#include <string>
#include <string_view>

#include "framework/core/Classes.h"

class EParserError : public Exception {
public:
  EParserError(int line, const std::string& message)
      : Exception("Line " + std::to_string(line) + ": " + message), line_(line) {}
  int Line() const { return line_; }

private:
  int line_;
};

// Reads TEXT into ROOT. Children are created owned by ROOT; ROOT's name is set from the
// description's first object line.
void ReadComponentText(std::string_view text, TComponent& root);

#ifdef _WIN32
// Reads the RCDATA resource NAME (default: ROOT's class name) of the executable into ROOT.
// False, with ROOT untouched, when the executable has no such resource.
bool ReadComponentResource(TComponent& root, const char* name = nullptr);
#endif
