#pragma once

// A PHP gallery built with the program's own templates, served by PHP's
// built-in server on the loopback address and driven over HTTP by curl, with
// a sendmail stand-in that records what it gets. Skipped without php.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <regex>
#include <thread>

#include "builder/dialogs/GalleryKindDialog.h"
#include "shared/veskotools.h"
#include "tests/builder/build_fixture.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/LoopbackPort.h"

extern char** environ;

namespace phpservertest {

using namespace buildertest;

constexpr const char* Php = "/usr/bin/php";

inline std::string Shell(const std::string& command)
{
    return testsupport::CommandOutput(command);
}

inline int FreePort() { return testsupport::FreeLoopbackPort(); }

// curl's option that sends from another loopback address, a visitor of its own.
inline std::string From(int address) { return "--interface 127.0.0." + std::to_string(address); }

inline bool Accepts(int port) { return testsupport::LoopbackAccepts(static_cast<std::uint16_t>(port)); }

// `php -S` on the gallery folder, with workers so that requests really run in
// parallel, stopped with the test. `settings` are further "-d" settings, as a
// host's php.ini would make them; PHP's messages go to `errors`, by default
// "php-errors.txt" beside the folder.
class TPhpServer {
public:
    TPhpServer(const std::string& folder, const std::string& sendmail, const std::string& sessions,
               const std::vector<std::string>& settings = {}, std::string errors = "")
        : Port(FreePort())
    {
        const std::string listen = "127.0.0.1:" + std::to_string(Port);
        const std::string mailSetting = "sendmail_path=" + sendmail;
        std::vector<std::string> args = {"timeout", "90", Php, "-d", mailSetting, "-d", "display_errors=stderr",
                                         "-d", "error_reporting=-1", "-d", "session.save_path=" + sessions};
        for (const std::string& setting : settings) {
            args.push_back("-d");
            args.push_back(setting);
        }
        for (const std::string& arg : {std::string("-S"), listen, std::string("-t"), folder})
            args.push_back(arg);
        if (errors.empty())
            errors = folder + "../php-errors.txt";
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> env = {"PHP_CLI_SERVER_WORKERS=8", "PATH=/usr/bin:/bin"};
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawnp(&FPid, "timeout", &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        for (int i = 0; i < 100 && !Accepts(Port); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~TPhpServer()
    {
        if (FPid > 0) {
            kill(FPid, SIGTERM);
            waitpid(FPid, nullptr, 0);
        }
    }
    const int Port;

private:
    pid_t FPid = -1;
};

class PhpGalleryServerTest : public BuildTest {
protected:
    void SetUp() override
    {
        if (access(Php, X_OK) != 0)
            GTEST_SKIP() << "php is not installed";
        Wizard->ProgramFolder = GALLERY_SOURCE_DIR "/resources/";
        Wizard->RadioButton3->SetChecked(true);
        Wizard->PhpGallery = true;
        for (bool* option : {&Wizard->PhpViewCount, &Wizard->PhpVoting, &Wizard->PhpPictureComments,
                             &Wizard->PhpMailPicture, &Wizard->PhpChartViews, &Wizard->PhpChartVotes,
                             &Wizard->PhpGalleryComments})
            *option = true;
        GalleryKindDialog->Edit1->SetText("s3cret pass");
        GalleryKindDialog->Edit2->SetText("owner@example.org");
        Wizard->Edit4->SetText("Summer");
        Choose();
        AddJpegs(4, 320, 240);
        Build();
        Sessions = Out.Path() + "sessions";
        ForceDirectories(Sessions);
        Sendmail = Out.Path() + "sendmail.sh";
        WriteFileBytes(Sendmail, "#!/bin/sh\n{ echo \"ARGS: $*\"; cat; echo '--END--'; } >> '" + Out.Path() +
                                     "sent.txt'\n");
        chmod(Sendmail.c_str(), 0755);
        Server = std::make_unique<TPhpServer>(Gallery, Sendmail, Sessions);
        ASSERT_TRUE(Accepts(Server->Port)) << "php -S did not start";
    }

    // Changes the options of the build before it runs.
    virtual void Choose() {}

    std::string Url(const std::string& page) const
    {
        return "http://127.0.0.1:" + std::to_string(Server->Port) + "/" + page;
    }
    // The body, and with `status` the HTTP status after it.
    std::string Get(const std::string& page, const std::string& options = "")
    {
        return Shell("curl -s --max-time 10 " + options + " '" + Url(page) + "'");
    }
    std::string Post(const std::string& page, const std::string& fields, const std::string& options = "")
    {
        std::string command = "curl -s --max-time 10 " + options;
        for (const std::string& field : SplitFields(fields))
            command += " --data-urlencode '" + field + "'";
        return Shell(command + " '" + Url(page) + "'");
    }
    std::string Status(const std::string& page, const std::string& fields = "")
    {
        std::string command = "curl -s -o /dev/null -w '%{http_code}' --max-time 10";
        for (const std::string& field : SplitFields(fields))
            command += " --data-urlencode '" + field + "'";
        return Shell(command + " '" + Url(page) + "'");
    }
    // A request with its answer's status, headers and body; `fields` make it a POST.
    struct TReply {
        std::string Status;
        std::string Headers;
        std::string Body;
    };
    TReply Send(const std::string& page, const std::string& fields = "", const std::string& options = "")
    {
        std::string command = "curl -s -i -H 'Expect:' --max-time 10 " + options;
        for (const std::string& field : SplitFields(fields))
            command += " --data-urlencode '" + field + "'";
        const std::string answer = Shell(command + " '" + Url(page) + "'");
        const std::size_t end = answer.find("\r\n\r\n");
        TReply reply;
        reply.Headers = answer.substr(0, end);
        reply.Body = end == std::string::npos ? std::string() : answer.substr(end + 4);
        const std::size_t blank = reply.Headers.find(' ');
        reply.Status = blank == std::string::npos ? std::string() : reply.Headers.substr(blank + 1, 3);
        return reply;
    }
    static std::vector<std::string> SplitFields(const std::string& fields)
    {
        std::vector<std::string> parts;
        std::size_t from = 0;
        while (from < fields.size()) {
            std::size_t to = fields.find('&', from);
            if (to == std::string::npos) to = fields.size();
            parts.push_back(fields.substr(from, to - from));
            from = to + 1;
        }
        return parts;
    }
    std::vector<std::string> Counter(int n) const
    {
        return SplitLinesOf(Read("th_" + std::to_string(n) + ".cnt"));
    }
    static std::vector<std::string> SplitLinesOf(const std::string& text)
    {
        std::vector<std::string> lines;
        std::size_t from = 0;
        while (from < text.size()) {
            const std::size_t to = text.find("\r\n", from);
            lines.push_back(text.substr(from, to - from));
            from = to == std::string::npos ? text.size() : to + 2;
        }
        return lines;
    }
    std::string Errors() const { return ReadFileBytes(Out.Path() + "php-errors.txt"); }

    // The limits of the served gallery, changed as a host owner would.
    void SetLimit(const std::string& name, const std::string& value)
    {
        std::string setup = Read("setup.php");
        const std::regex entry("'" + name + "' => (\\[[^\\]]*\\]|[^,]*),");
        ASSERT_TRUE(std::regex_search(setup, entry)) << name;
        WriteFileBytes(Gallery + "setup.php", std::regex_replace(setup, entry, "'" + name + "' => " + value + ","));
    }
    std::string Sent() const
    {
        const std::string path = Out.Path() + "sent.txt";
        return FileExists(path) ? ReadFileBytes(path) : std::string();
    }

    std::string Sendmail;
    std::string Sessions;
    std::unique_ptr<TPhpServer> Server;
};

inline std::smatch Match(const std::string& text, const std::regex& pattern)
{
    std::smatch found;
    std::regex_search(text, found, pattern);
    return found;
}
// The matches point into the text, which must outlive them.
std::smatch Match(std::string&&, const std::regex&) = delete;

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace phpservertest
