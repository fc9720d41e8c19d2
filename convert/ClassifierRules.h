#pragma once
// The classifier's rules, in the order they are tried: the one table of which addresses
// go to which converter, parse-server resolution or player, and with which provider.
// quillora-tool's converters and their names are the converting rules of this table.

#include "convert/PageConverter.h"
#include "fetch/ProviderId.h"

#include <string>
#include <string_view>
#include <vector>

enum class RuleAction { Convert, ResolvePlayIndex, ResolveVideoPage, PlayDirectly };

struct ClassifierRule {
    std::vector<std::wstring> patterns; // any of them, found from position 1 on
    const ProviderId* provider;         // null: the request's provider stays as it is
    std::string_view routine;           // the converter's name for Convert rules
    RuleAction action;
    PageConverter convert = nullptr;
    // The address the routine receives; null: the address as it came.
    std::wstring (*rewrite)(std::wstring address) = nullptr;
};

const std::vector<ClassifierRule>& ClassifierRules();

// The converting rules, by routine name.
std::vector<const ClassifierRule*> ConverterRules();
const ClassifierRule* FindConverter(std::string_view routine);
// Runs a converting rule as the classifier does: the request gets the rule's provider
// and the converter the rewritten address.
bool RunConverter(const ClassifierRule& rule, NavigationRequest& request, const std::wstring& address);

// The tudou search address asking for the table view of its results.
std::wstring TudouTableView(std::wstring url);
