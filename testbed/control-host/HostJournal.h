#pragma once
// What the container saw from its controls, in order of arrival, until the
// test takes it; and the rules by which it answers by-reference event
// arguments. Shared between the sites, their event sinks and whoever reads it.
#include <string>
#include <vector>

#include "common/win32/Variant.h"

namespace control_host {

struct EventRecord {
    std::string control;  // the site's name
    long dispid = 0;
    std::string name;                         // from the control's type information, else the number
    std::vector<qv::win::Variant> arguments;  // as they arrived, in declaration order
};

// "When event `dispid` arrives with a first argument of `from`, write `to` into it."
struct ByRefRule {
    long dispid = 0;
    long from = 0;
    long to = 0;
};

struct HostJournal {
    std::vector<EventRecord> events;
    std::vector<long> changed;      // IPropertyNotifySink::OnChanged
    std::vector<long> requestEdit;  // IPropertyNotifySink::OnRequestEdit
    std::vector<ByRefRule> rules;
};

}  // namespace control_host
