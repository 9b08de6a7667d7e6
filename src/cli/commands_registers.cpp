// SPDX-License-Identifier: GPL-3.0-or-later
// The register commands: regs, write, set and the profiles.

#include "cli/commands.h"
#include "converter/register_io.h"
#include "profile/profile.h"
#include "profile/profile_file.h"

namespace orv::cli {

namespace {

// The registers as read, with the writes that came before when there were
// any: {"written": {...}, "registers": {...}, "fields": {...}}.
Outcome registersOutcome(const RegisterImage& image, std::span<const RegisterWrite> writes) {
    Outcome outcome;
    outcome.json = Json::object();
    if (!writes.empty()) {
        outcome.json["written"] = writesJson(writes);
        outcome.text = "Written:";
        for (const RegisterWrite& write : writes) {
            outcome.text +=
                std::string(" ") + kRegisterNames[write.address] + "=" + registerText(write.value);
        }
        outcome.text += "\n\n";
    }
    outcome.json["registers"] = registersJson(image);
    outcome.json["fields"] = fieldsJson(image);
    outcome.text += registersText(image);
    return outcome;
}

// Sends `writes` in order, stopping at the first the EVM does not confirm
// (its message: "Write register 02 fail !"), then reads all eleven back.
Outcome writeAndReadBack(Session& session, std::span<const RegisterWrite> writes) {
    if (writeRegisters(session.link(), session.prompts(), nullptr, writes) != writes.size()) {
        return failure(exit_code::kEvmFailed);
    }
    RegisterImage image{};
    if (!session.readRegisters(image)) {
        return failure(exit_code::kEvmFailed);
    }
    return registersOutcome(image, writes);
}

}  // namespace

Outcome runRegs(Session& session) {
    if (!session.findEvm()) {
        return failure(exit_code::kNoEvm);
    }
    RegisterImage image{};
    if (!session.readRegisters(image)) {
        return failure(exit_code::kEvmFailed);
    }
    return registersOutcome(image, {});
}

Outcome runWrite(Session& session) {
    if (!session.findEvm()) {
        return failure(exit_code::kNoEvm);
    }
    return writeAndReadBack(session, session.options().writes);
}

// The fields' registers are read first, so that each keeps the bits no
// field given names.
Outcome runSet(Session& session) {
    if (!session.findEvm()) {
        return failure(exit_code::kNoEvm);
    }
    RegisterImage read{};
    if (!session.readRegisters(read)) {
        return failure(exit_code::kEvmFailed);
    }
    return writeAndReadBack(session, fieldWrites(session.options().fields, read));
}

// As the window's "Save Profile", with the registers read from the EVM just
// now rather than the panel's image.
Outcome runProfileSave(Session& session) {
    if (!session.findEvm()) {
        return failure(exit_code::kNoEvm);
    }
    RegisterImage image{};
    if (!session.readRegisters(image)) {
        return failure(exit_code::kEvmFailed);
    }
    const std::string& path = session.options().file;
    if (!saveProfileFile(path, image)) {
        session.prompts().message(nullptr, "Save profile failed !", "Error !");
        return failure(exit_code::kFileFailed);
    }
    Outcome outcome = registersOutcome(image, {});
    outcome.json = Json{{"file", path},
                        {"registers", outcome.json["registers"]},
                        {"fields", outcome.json["fields"]}};
    outcome.text = "Saved to " + path + ":\n\n" + outcome.text;
    return outcome;
}

// The file is read and checked before any port is opened: a profile the
// window would refuse sends nothing. Its eleven registers are written in
// address order, as the all-registers page writes them.
Outcome runProfileLoad(Session& session) {
    const std::string& path = session.options().file;
    const auto text = readProfileFile(path);
    if (!text) {
        session.note("cannot read the profile '" + path + "'");
        return failure(exit_code::kFileFailed);
    }
    const auto registers = readProfile(*text);
    if (!registers) {
        session.prompts().message(
            nullptr, "The profile is invalid for \"" + std::string(kProfileTarget) + "\"",
            "Error !");
        return failure(exit_code::kFileFailed);
    }
    if (!session.findEvm()) {
        return failure(exit_code::kNoEvm);
    }
    std::vector<RegisterWrite> writes;
    for (std::size_t a = 0; a < registers->size(); ++a) {
        writes.push_back({static_cast<std::uint8_t>(a), (*registers)[a]});
    }
    return writeAndReadBack(session, writes);
}

}  // namespace orv::cli
