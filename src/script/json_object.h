#pragma once
// A JSON value queried and changed by path ("data", "a.b", "[0]['名称']").
// Local text (GBK) in and out. No operation throws or reports errors: failures give empty results.
#include <memory>
#include <string>
#include <vector>

namespace sd {

class JsonObject {
 public:
  JsonObject();                                  // holds {}
  JsonObject(const JsonObject&);                 // shares the value until one side parses again
  JsonObject& operator=(const JsonObject&);
  ~JsonObject();

  bool parse(const std::string& text);           // true when the text gave a value other than null
  std::string to_text() const;
  void set_text(const std::string& path, const std::string& value, bool as_object = false);
  void set_json(const std::string& path, const std::string& json_text);
  void set_number(const std::string& path, double number);
  double get_number(const std::string& path) const;
  std::string get_json(const std::string& path) const;
  std::string get_text(const std::string& path, bool as_json = false) const;
  JsonObject get_object(const std::string& path) const;
  long count(const std::string& path = "") const;
  void push(const std::string& value, const std::string& path = "", bool raw = false);
  JsonObject get_element_object(long index, const std::string& path = "") const;
  std::string get_element_text(long index, const std::string& path = "", bool as_json = false) const;
  void set_element(long index, const std::string& value, bool raw = false);
  void remove_element(long index);
  void delete_member(const std::string& name);
  void reset(int kind);
  void set_value(const std::string& value, bool raw = false);
  bool has_member(const std::string& name) const;
  long member_names(std::vector<std::string>& names, const std::string& path = "") const;
  int type_of(const std::string& path = "") const;
  void clear();

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace sd
