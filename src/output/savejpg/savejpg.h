#pragma once
/* PLACEHOLDER: to be built. */
