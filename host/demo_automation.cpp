#include "host/demo_automation.h"

#include <string>
#include <utility>

namespace quorvan::host {
namespace {

// The host's compiler knows member names; the library takes DISPIDs only.
DISPID MemberId(IDispatch* object, const wchar_t* name) {
  std::wstring text(name);
  LPOLESTR names[] = {text.data()};
  DISPID dispid = DISPID_UNKNOWN;
  if (!object || FAILED(object->GetIDsOfNames(IID_NULL, names, 1, 0, &dispid)))
    return DISPID_UNKNOWN;
  return dispid;
}

// A text the library hands out is a process-heap block that becomes the host's.
std::string TakeText(char* block) {
  if (!block) return "(none)";
  std::string text(block);
  HeapFree(GetProcessHeap(), 0, block);
  return text;
}

std::string Quoted(const char* text) { return std::string("\"") + text + "\""; }

}  // namespace

void WalkDictionary(const TarvikExports& api, const TarvikCallExports& calls,
                    Transcript& transcript) {
  transcript.Say("Automation: a Scripting.Dictionary through the client exports");
  const int client = api.createAutomationClient();
  transcript.Say("  CreateAutomationClient() = " + std::to_string(client));
  if (!transcript.Check(client > 0, "a client handle was given")) return;
  // A server that fails answers in the transcript, not in a message box that
  // nobody can close under the demo's display.
  api.setSilentErrorMode(client, 1);
  const int created = api.createAutoClientDispatch(client, "Scripting.Dictionary");
  transcript.Say("  CreateAutoClientDispatch(" + std::to_string(client) +
                 ", \"Scripting.Dictionary\") = " + std::to_string(created));
  if (transcript.Check(created == 1, "the dictionary was created")) {
    IDispatch* dictionary = api.getAutoClientDispatch(client);
    const DISPID add = MemberId(dictionary, L"Add"), count = MemberId(dictionary, L"Count"),
                 item = MemberId(dictionary, L"Item"), exists = MemberId(dictionary, L"Exists"),
                 keys = MemberId(dictionary, L"Keys"), remove = MemberId(dictionary, L"Remove");
    const std::pair<const char*, const char*> entries[] = {
        {"SE", "Sweden"}, {"NO", "Norway"}, {"IS", "Iceland"}};
    for (const auto& [key, value] : entries) {
      calls.declareAutoClientInvokeParams(client, 2);
      calls.defineAutoClientStringParam(client, key);
      calls.defineAutoClientStringParam(client, value);
      const int result = calls.invokeAutoClientVoidFunction(client, add);
      transcript.Say("  Add(" + Quoted(key) + ", " + Quoted(value) +
                     ") = " + std::to_string(result));
      transcript.Check(result == 1, std::string("Add ") + key);
    }
    const int items = calls.getAutoClientIntegerProperty(client, count);
    transcript.Say("  Count = " + std::to_string(items));
    transcript.Check(items == 3, "three entries");

    calls.declareAutoClientInvokeParams(client, 1);
    calls.defineAutoClientStringParam(client, "NO");
    transcript.Expect("Item(\"NO\") is", TakeText(calls.getAutoClientStringProperty(client, item)),
                      "Norway");

    for (const auto& [key, expected] : {std::pair<const char*, bool>{"IS", true}, {"DK", false}}) {
      calls.declareAutoClientInvokeParams(client, 1);
      calls.defineAutoClientStringParam(client, key);
      const int found = calls.invokeAutoClientBoolFunction(client, exists);
      transcript.Say("  Exists(" + Quoted(key) + ") = " + std::to_string(found));
      // A true answer comes back as the host's true, -1.
      transcript.Check(found == (expected ? -1 : 0),
                       std::string(key) + (expected ? " is a key" : " is not a key"));
    }

    tarvik::HostVariant record{};
    calls.invokeAutoClientOLEVariantFunction(client, keys, &record);
    char type[16];
    wsprintfA(type, "0x%04x", static_cast<unsigned>(record.type & 0xffff));
    transcript.Say(std::string("  Keys() gives a value of type ") + type +
                   " (an array of variants, which the host record carries by its type only)");
    transcript.Check((record.type & 0xffff) == (VT_ARRAY | VT_VARIANT), "Keys() is an array");

    calls.declareAutoClientInvokeParams(client, 1);
    calls.defineAutoClientStringParam(client, "SE");
    transcript.Say("  Remove(\"SE\") = " +
                   std::to_string(calls.invokeAutoClientVoidFunction(client, remove)));
    const int left = calls.getAutoClientIntegerProperty(client, count);
    transcript.Say("  Count = " + std::to_string(left));
    transcript.Check(left == 2, "two entries after Remove");
  }
  const int destroyed = api.destroyAutomationClient(client);
  transcript.Say("  DestroyAutomationClient(" + std::to_string(client) +
                 ") = " + std::to_string(destroyed));
  transcript.Check(destroyed == 0, "the client is gone (0 means destroyed)");
}

}  // namespace quorvan::host
