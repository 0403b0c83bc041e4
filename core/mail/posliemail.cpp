// posliemail: the thirteen-parameter entry of the mail sender, with the programs' fixed ports and time-outs.
#include "core/mail/send_mail.h"
#include "core/mail/sendmailunit.h"

namespace dorvik {

void posliemail(std::string_view host, std::string_view port, std::string_view user, std::string_view password,
                std::string_view fromName, std::string_view fromAddress, std::string_view recipients,
                std::string_view subject, std::string_view body, std::string_view htmlFile,
                std::string_view attachment, bool silent, std::string& result) {
  result.clear();
  MailRequest request{std::string(host),        std::string(port),       std::string(user),
                      std::string(password),    std::string(fromName),   std::string(fromAddress),
                      std::string(recipients),  std::string(subject),    std::string(body),
                      std::string(htmlFile),    std::string(attachment), silent};
  result = sendMail(request, MailTransport{});
}

}  // namespace dorvik
