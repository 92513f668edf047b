#include "FtpsTestServer.h"

#include <fstream>

#include "FtpTestSupport.h"

namespace pomurina::test {

namespace fs = std::filesystem;

namespace {

const char kOpenSsl[] = "/usr/bin/openssl";

// A new P-256 key and a request or self-signed certificate for subject.
std::vector<std::string> NewKey(const fs::path& key, const fs::path& out, const char* subject) {
    return {kOpenSsl, "req",     "-newkey",    "ec",   "-pkeyopt",   "ec_paramgen_curve:prime256v1",
            "-nodes", "-keyout", key.string(), "-out", out.string(), "-subj",
            subject};
}

}  // namespace

void FtpsServer::MakeCertificate(Certificate certificate) {
    const fs::path dir = m_work.Path();
    const fs::path output = dir / "openssl.txt";
    const fs::path cert = dir / "cert.pem";
    if (certificate == Certificate::SelfSigned) {
        auto args = NewKey(dir / "key.pem", cert, "/CN=localhost");
        args.insert(args.begin() + 2, {"-x509", "-days", "2"});
        RunToEnd(args, output);
    } else {
        auto authority = NewKey(dir / "ca.key", dir / "ca.pem", "/CN=Pomurina Test Authority");
        authority.insert(authority.begin() + 2, {"-x509", "-days", "2"});
        RunToEnd(authority, output);
        RunToEnd(NewKey(dir / "key.pem", dir / "request.csr", "/CN=127.0.0.1"), output);
        WriteBytes(dir / "names.ext", "subjectAltName=IP:127.0.0.1\n");
        RunToEnd({kOpenSsl, "x509", "-req", "-in", (dir / "request.csr").string(), "-CA",
                  (dir / "ca.pem").string(), "-CAkey", (dir / "ca.key").string(), "-CAcreateserial",
                  "-days", "2", "-extfile", (dir / "names.ext").string(), "-out", cert.string()},
                 output);
    }
    RunToEnd({kOpenSsl, "x509", "-in", cert.string(), "-noout", "-fingerprint", "-sha256"}, output);
    // "sha256 Fingerprint=AB:CD:..."
    std::string line = ReadBytes(output);
    line = line.substr(line.find('=') + 1);
    m_fingerprint = line.substr(0, line.find_first_of("\r\n"));
}

FtpsServer::FtpsServer(const fs::path& root, Certificate certificate) {
    MakeCertificate(certificate);
    const fs::path dir = m_work.Path();
    fs::create_directory(dir / "empty");
    m_port = UnusedPort();
    const std::string config =
        "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" +
        std::to_string(m_port) +
        "\nbackground=NO\nrun_as_launching_user=YES\nseccomp_sandbox=NO\n"
        "secure_chroot_dir=" +
        (dir / "empty").string() +
        "\nanonymous_enable=YES\nlocal_enable=NO\nwrite_enable=NO\nanon_root=" + root.string() +
        "\nssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\n"
        "force_anon_data_ssl=YES\nrsa_cert_file=" +
        (dir / "cert.pem").string() + "\nrsa_private_key_file=" + (dir / "key.pem").string() +
        "\nxferlog_enable=YES\nxferlog_std_format=NO\nlog_ftp_protocol=YES\nvsftpd_log_file=" +
        (dir / "log").string() + "\n";
    WriteBytes(dir / "vsftpd.conf", config);
    m_process = std::make_unique<ServerProcess>(
        std::vector<std::string>{"/usr/sbin/vsftpd", (dir / "vsftpd.conf").string()},
        dir / "output", [this] { return Listening(m_port); }, "the FTPS server (vsftpd)");
}

std::vector<std::string> FtpsServer::Commands() const {
    // ... FTP command: Client "127.0.0.1", "RETR log/x"
    const std::string marker = "FTP command: Client \"127.0.0.1\", \"";
    std::vector<std::string> commands;
    std::ifstream in(m_work.Path() / "log", std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        const auto at = line.find(marker);
        if (at == std::string::npos || line.back() != '"') continue;
        commands.push_back(line.substr(at + marker.size(), line.size() - at - marker.size() - 1));
    }
    return commands;
}

std::vector<std::string> FtpsServer::Commands(const std::string& prefix) const {
    return StartingWith(Commands(), prefix);
}

}  // namespace pomurina::test
