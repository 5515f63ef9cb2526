// The maker's contacts, shown in the about box. Keep them in step with the
// version resource and the readme.
#pragma once

constexpr char kMakerMail[] = "support@tarvix-works.example";
constexpr char kMakerHomePage[] = "https://tarvix-works.example/";
